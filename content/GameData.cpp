#include "content/GameData.h"

#include "content/ImageFile.h"
#include "platform/Fonts.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace
{
// The whole file as bytes, or false when it cannot be opened.
bool readFile(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// The single textures, in the order they are loaded.
constexpr const char* EditorTexturePath = "/Texturen/EditorTextur.png";
constexpr const char* PlayerTexturePath = "/Texturen/PlayerTextur.png";
constexpr const char* UiTexturePath = "/Texturen/UITextur.png";
constexpr const char* TitleScreenTexturePath = "/Texturen/TitleScreenTextur.png";
// The numbered texture sets: "<prefix><N>.png".
constexpr const char* FieldTexturePrefix = "/Texturen/FieldTextur";
constexpr const char* ObjectTexturePrefix = "/Texturen/ObjectTextur";
constexpr const char* ItemTexturePrefix = "/Items/ItemTextur";
constexpr const char* TextureExtension = ".png";

template <typename T>
const T* lookup(const ContentTable<T>& table, int number)
{
    if (number < 0 || number >= ContentSetCapacity)
        return nullptr;
    return table[static_cast<std::size_t>(number)].get();
}
} // namespace

GameData::GameData(std::string root, std::ostream* console, const FontFiles* fontFiles, const DecodedImages* decoded)
    : root(std::move(root)), console(console ? console : &std::cout), decoded(decoded)
{
    const FontFiles files = fontFiles ? *fontFiles : FontFiles::find();
    loadSystemFont(fonts.arial, FontRole::Sans, files.sans);
    loadSystemFont(fonts.consola, FontRole::Monospace, files.monospace);

    // A missing single texture stays empty; SFML draws an empty texture as nothing.
    const auto single = [this](const char* relative) {
        auto texture = std::make_unique<sf::Texture>();
        loadTexture(path(relative), *texture);
        return texture;
    };
    editorTexture = single(EditorTexturePath);
    playerTexture = single(PlayerTexturePath);
    uiTexture = single(UiTexturePath);
    titleScreenTexture = single(TitleScreenTexturePath);

    loadFieldTextures();
    loadObjectTextures();
    loadObjects();
    loadItemTextures();
    loadItems();
}

const sf::Texture* GameData::fieldTexture(int type) const
{
    return lookup(fieldTextures, type);
}

const sf::Texture* GameData::objectTexture(int id) const
{
    return lookup(objectTextures, id);
}

const ObjectType* GameData::object(int id) const
{
    return lookup(objects, id);
}

void GameData::loadFieldTextures()
{
    loadTextureSet(fieldTextures, FieldTexturePrefix, "---Texturen laden bei ");
}

void GameData::loadObjectTextures()
{
    loadTextureSet(objectTextures, ObjectTexturePrefix, "---Object Texturen laden bei ");
}

void GameData::loadItemTextures()
{
    loadTextureSet(itemTextures, ItemTexturePrefix, "---Item Texturen laden bei ");
}

template <typename T, typename Load>
void GameData::loadSet(ContentTable<T>& table, const char* prefix, const char* extension, const char* label,
                       Load load)
{
    for (auto& slot : table)
        slot.reset();
    // Number ContentSetCapacity has no slot: the set ends there like at a gap.
    for (int number = 0;; ++number)
    {
        const std::string file = path(prefix) + std::to_string(number) + extension;
        std::unique_ptr<T> entry = number < ContentSetCapacity ? load(file, number) : nullptr;
        if (!entry)
        {
            reportEnd(label, file);
            return;
        }
        table[static_cast<std::size_t>(number)] = std::move(entry);
    }
}

void GameData::loadTextureSet(ContentTable<sf::Texture>& table, const char* prefix, const char* label)
{
    sf::Texture scratch;
    scratch.setSmooth(false);
    loadSet(table, prefix, TextureExtension, label, [this, &scratch](const std::string& file, int) {
        return loadTexture(file, scratch) ? std::make_unique<sf::Texture>(scratch) : nullptr;
    });
}

void GameData::loadObjects()
{
    loadSet(objects, "/Objekte/Object", ".object", "---Objekte laden bei ", [this](const std::string& file, int number) {
        std::string text;
        return readFile(file, text) ? std::make_unique<ObjectType>(makeObjectDefinition(
                                          number, objectTexture(number), parseObjectDefinition(text)))
                                    : nullptr;
    });
}

void GameData::loadItems()
{
    loadSet(items, "/Items/Item", ".Item", "---Items laden bei ", [](const std::string& file, int number) {
        std::string text;
        return readFile(file, text) ? std::make_unique<ItemType>(parseItemName(text), number) : nullptr;
    });
}

void GameData::reportEnd(const char* label, const std::string& file)
{
    *console << label << file << " beendet" << std::endl;
}

std::string GameData::path(const char* relative) const
{
    return root + relative;
}

bool GameData::loadTexture(const std::string& file, sf::Texture& texture) const
{
    const sf::Image* image = decoded ? decoded->find(file) : nullptr;
    return image ? texture.loadFromImage(*image) : loadPngTexture(file, texture);
}

DecodedImages GameData::decodeImages(const std::string& root)
{
    DecodedImages images;
    for (const char* single : {EditorTexturePath, PlayerTexturePath, UiTexturePath, TitleScreenTexturePath})
        images.decode(root + single);
    // Each set as far as the store will read it; numbers it never reaches
    // are not decoded.
    for (const char* prefix : {FieldTexturePrefix, ObjectTexturePrefix, ItemTexturePrefix})
    {
        for (int number = 0; number < ContentSetCapacity; ++number)
        {
            if (!images.decode(root + prefix + std::to_string(number) + TextureExtension))
                break;
        }
    }
    return images;
}
