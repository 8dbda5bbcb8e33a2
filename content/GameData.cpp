#include "content/GameData.h"

#include "content/ImageFile.h"
#include "platform/Fonts.h"

#include <filesystem>
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

template <typename T>
const T* lookup(const ContentTable<T>& table, int number)
{
    if (number < 0 || number >= ContentSetCapacity)
        return nullptr;
    return table[static_cast<std::size_t>(number)].get();
}
} // namespace

GameData::GameData(std::string root, std::ostream* console, const FontFiles* fontFiles)
    : root(std::move(root)), console(console ? console : &std::cout)
{
    const FontFiles files = fontFiles ? *fontFiles : FontFiles::find();
    loadSystemFont(fonts.arial, FontRole::Sans, files.sans);
    loadSystemFont(fonts.consola, FontRole::Monospace, files.monospace);

    // A missing single texture stays empty; SFML draws an empty texture as nothing.
    const auto single = [this](const char* relative) {
        auto texture = std::make_unique<sf::Texture>();
        loadPngTexture(path(relative), *texture);
        return texture;
    };
    editorTexture = single("/Texturen/EditorTextur.png");
    playerTexture = single("/Texturen/PlayerTextur.png");
    uiTexture = single("/Texturen/UITextur.png");
    titleScreenTexture = single("/Texturen/TitleScreenTextur.png");

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

bool holdsContent(const std::string& root)
{
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::u8path(root + FieldTexturePrefix + "0.png"), error);
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
    loadTextureSet(objectTextures, "/Texturen/ObjectTextur", "---Object Texturen laden bei ");
}

void GameData::loadItemTextures()
{
    loadTextureSet(itemTextures, "/Items/ItemTextur", "---Item Texturen laden bei ");
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
    loadSet(table, prefix, ".png", label, [&scratch](const std::string& file, int) {
        return loadPngTexture(file, scratch) ? std::make_unique<sf::Texture>(scratch) : nullptr;
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
