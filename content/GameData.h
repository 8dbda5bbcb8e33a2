#pragma once

#include "content/ItemType.h"
#include "content/ObjectType.h"
#include "platform/Fonts.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <array>
#include <iosfwd>
#include <memory>
#include <string>

// Slots of each numbered content table: numbers 0..9999.
constexpr int ContentSetCapacity = 10000;

// Ground type N's texture is "<root>" FieldTexturePrefix "<N>.png".
constexpr const char* FieldTexturePrefix = "/Texturen/FieldTextur";

// Whether the folder `root` holds the game's content: it has the texture of
// ground type 0, without which no map can be shown. Only looks for the file.
bool holdsContent(const std::string& root);

template <typename T>
using ContentTable = std::array<std::unique_ptr<T>, ContentSetCapacity>;

// The two fonts. `consola` draws the HUD's texts; `arial` is loaded for later use.
struct GameFonts
{
    sf::Font arial;
    sf::Font consola;
};

// The one content store: every texture, font and definition, loaded once when
// it is built and read-only afterwards. Numbered sets are filled from number 0
// up to the first number without a usable file, so the filled slots of a table
// are one unbroken run from slot 0 and every later slot is null.
class GameData
{
public:
    // Loads everything below `root` (the working directory by default), in the
    // game's fixed order, and prints one line per numbered set on `console`
    // (standard output when null).
    // Missing or damaged content never stops it: textures stay empty, sets end.
    // `fontFiles`, when given, are the font files already found (findFontFile),
    // so the search can run while the window comes up.
    explicit GameData(std::string root = ".", std::ostream* console = nullptr, const FontFiles* fontFiles = nullptr);

    GameData(const GameData&) = delete;
    GameData& operator=(const GameData&) = delete;

    // Safe lookups for numbers that come from files or the editor: null when
    // the number is outside the table or names an empty slot.
    const sf::Texture* fieldTexture(int type) const;
    const sf::Texture* objectTexture(int id) const;
    const ObjectType* object(int id) const;

    // Single textures; always allocated, empty when their file did not load.
    std::unique_ptr<sf::Texture> playerTexture;
    std::unique_ptr<sf::Texture> editorTexture;
    std::unique_ptr<sf::Texture> uiTexture;
    std::unique_ptr<sf::Texture> titleScreenTexture;

    ContentTable<sf::Texture> fieldTextures;  // slot N = ground type N
    ContentTable<sf::Texture> objectTextures; // slot N = picture of object N
    ContentTable<sf::Texture> itemTextures;
    ContentTable<ObjectType> objects; // slot N = object definition N
    ContentTable<ItemType> items;

    GameFonts fonts;

    void loadFieldTextures();
    void loadObjectTextures();
    void loadItemTextures();
    void loadObjects();
    void loadItems();

private:
    // Fills `table` from "<root><prefix><N><extension>", N = 0 up, until
    // `load(path, N)` gives null or the table is full; prints the set's line.
    template <typename T, typename Load>
    void loadSet(ContentTable<T>& table, const char* prefix, const char* extension, const char* label, Load load);
    // One numbered texture set: "<root>/<prefix><N>.png" from N = 0 up.
    void loadTextureSet(ContentTable<sf::Texture>& table, const char* prefix, const char* label);
    void reportEnd(const char* label, const std::string& path);
    std::string path(const char* relative) const;

    std::string root;
    std::ostream* console;
};
