#include "content/GameData.h"

#include "content/ImageFile.h"
#include "platform/Console.h"
#include "platform/Fonts.h"

#include <filesystem>
#include <ostream>

namespace
{
// The single textures, in the order they are loaded.
constexpr const char* EditorTexturePath = "/Texturen/EditorTextur.png";
constexpr const char* PlayerTexturePath = "/Texturen/PlayerTextur.png";
constexpr const char* UiTexturePath = "/Texturen/UITextur.png";
constexpr const char* TitleScreenTexturePath = "/Texturen/TitleScreenTextur.png";
// The numbered item pictures: "<prefix><N>.png".
constexpr const char* ItemTexturePrefix = "/Items/ItemTextur";

// What a picture costs of the image budget.
std::size_t decodedBytes(const sf::Image& image)
{
    return std::size_t{image.getSize().x} * image.getSize().y * 4;
}

template <typename T>
const T* lookup(const ContentTable<T>& table, int number)
{
    if (number < 0 || number >= ContentSetCapacity)
        return nullptr;
    return table[static_cast<std::size_t>(number)].get();
}
} // namespace

GameData::GameData(std::string root, std::ostream* console, const FontFiles* fontFiles, std::ostream* errors,
                   std::size_t imageBudget, const DecodedImages* decoded)
    : root(std::move(root)), console(console ? console : &consoleOut()), errors(errors ? errors : &consoleErrors()),
      imageBytesLeft(imageBudget), decoded(decoded)
{
    const FontFiles files = fontFiles ? *fontFiles : FontFiles::find();
    loadSystemFont(fonts.arial, FontRole::Sans, files.sans);
    loadSystemFont(fonts.consola, FontRole::Monospace, files.monospace);

    // A missing single texture stays empty; SFML draws an empty texture as nothing.
    const auto single = [this](const char* relative) {
        auto texture = std::make_unique<sf::Texture>();
        reportFailure(loadTexture(path(relative), *texture));
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
    this->decoded = nullptr; // the caller's pictures are not kept beyond construction
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
    groundTypes = loadTextureSet(fieldTextures, FieldTexturePrefix, "---Texturen laden bei ");
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
int GameData::loadSet(ContentTable<T>& table, const char* prefix, const char* extension, const char* label,
                      Load load)
{
    for (auto& slot : table)
        slot.reset();
    const NumberedSetEnd end =
        walkNumberedSet(root, prefix, extension, [&](const std::string& file, int number, ReadResult& result) {
            std::unique_ptr<T> entry = load(file, number, result);
            table[static_cast<std::size_t>(number)] = std::move(entry);
            return table[static_cast<std::size_t>(number)] != nullptr;
        });
    reportFailure(end.result);
    reportEnd(label, end.path);
    return end.count;
}

int GameData::loadTextureSet(ContentTable<sf::Texture>& table, const char* prefix, const char* label)
{
    sf::Texture scratch;
    scratch.setSmooth(false);
    return loadSet(table, prefix, TextureExtension, label, [&](const std::string& file, int, ReadResult& result) {
        result = loadTexture(file, scratch);
        return result ? std::make_unique<sf::Texture>(scratch) : nullptr;
    });
}

ReadResult GameData::loadTexture(const std::string& file, sf::Texture& texture)
{
    // A picture decoded ahead is taken when it fits what is left of the
    // budget; anything else (not decoded ahead, refused there, or over the
    // budget) is read now, which also gives the refusal its reason.
    const sf::Image* image = decoded ? decoded->find(file) : nullptr;
    ReadResult result;
    if (image && decodedBytes(*image) <= imageBytesLeft && texture.loadFromImage(*image))
        result = ReadResult{};
    else
        result = loadPngTexture(file, texture, imageBytesLeft);
    if (result)
        imageBytesLeft -= std::size_t{texture.getSize().x} * texture.getSize().y * 4;
    return result;
}

void GameData::loadObjects()
{
    const auto load = [this](const std::string& file, int number, ReadResult& result) {
        return readObjectDefinition(file, number, objectTexture(number), result);
    };
    objectDefinitions = loadSet(objects, ObjectDefinitionPrefix, ObjectDefinitionExtension, "---Objekte laden bei ", load);
}

void GameData::loadItems()
{
    const auto load = [](const std::string& file, int number, ReadResult& result) {
        std::string text;
        result = readRegularFile(file, MaxDefinitionFileBytes, text);
        return result ? std::make_unique<ItemType>(parseItemName(text), number) : nullptr;
    };
    loadSet(items, "/Items/Item", ".Item", "---Items laden bei ", load);
}

void GameData::reportFailure(const ReadResult& result)
{
    if (result.status == ReadResult::Status::Failed)
        *errors << ContentRefusedPrefix << result.reason << std::endl;
}

void GameData::reportEnd(const char* label, const std::string& file)
{
    *console << label << file << " beendet" << std::endl;
}

std::string GameData::path(const char* relative) const
{
    return root + relative;
}

DecodedImages GameData::decodeImages(const std::string& root, std::size_t imageBudget, std::ostream* errors)
{
    DecodedImages images;
    std::size_t left = imageBudget;
    const auto decode = [&](const std::string& file) {
        ReadResult result;
        const sf::Image* image = images.decode(file, left, &result);
        if (image)
            left -= decodedBytes(*image);
        else if (errors && result.status == ReadResult::Status::Failed)
            *errors << ContentRefusedPrefix << result.reason << std::endl;
        return image != nullptr;
    };
    for (const char* single : {EditorTexturePath, PlayerTexturePath, UiTexturePath, TitleScreenTexturePath})
        decode(root + single);
    // Each set as far as the store will read it; numbers it never reaches
    // are not decoded.
    for (const char* prefix : {FieldTexturePrefix, ObjectTexturePrefix, ItemTexturePrefix})
        walkNumberedSet(root, prefix, TextureExtension,
                        [&](const std::string& file, int, ReadResult&) { return decode(file); });
    return images;
}
