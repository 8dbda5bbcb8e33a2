#pragma once

#include "content/ContentCatalog.h"
#include "content/DecodedImages.h"
#include "content/ItemType.h"
#include "content/NumberedSet.h"
#include "content/ObjectType.h"
#include "platform/Fonts.h"
#include "platform/RegularFile.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <array>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>

// Decoded size of all the content's pictures together (width x height x 4 for
// each), in bytes. The bundled content needs well under 1 MiB; 256 MiB holds
// four pictures of the largest side, or thousands of ordinary ones, while
// keeping start-up near a second and the memory a graphics driver keeps for
// them bounded. The picture that would pass it ends its set.
constexpr std::size_t MaxContentImageBytes = 256u << 20; // bytes

// Ground type N's texture is "<root>" FieldTexturePrefix "<N>" TextureExtension,
// object N's picture the same with ObjectTexturePrefix.
constexpr const char* FieldTexturePrefix = "/Texturen/FieldTextur";
constexpr const char* ObjectTexturePrefix = "/Texturen/ObjectTextur";
constexpr const char* TextureExtension = ".png";

// Starts the line that names a content file which exists but cannot be used.
constexpr const char* ContentRefusedPrefix = "--- Content Refused: ";

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
class GameData final : public ContentCatalog
{
public:
    // Loads everything below `root` (the working directory by default), in the
    // game's fixed order, and prints one line per numbered set on `console`
    // (standard output when null).
    // Missing or damaged content never stops it: textures stay empty, sets end.
    // Only regular files are read. A file that is missing says nothing more; a
    // file that exists but cannot be used (not a regular file, too large,
    // damaged, over `imageBudget`) is named with the reason in one line
    // "--- Content Refused: <path>: <reason>" on `errors` (standard error when
    // null), before its set's line.
    // `fontFiles`, when given, are the font files already found (findFontFile),
    // and `decoded` the pictures already decoded (decodeImages), so both can
    // be done on another thread while the window comes up; a picture missing
    // from `decoded` is read from its file.
    explicit GameData(std::string root = ".", std::ostream* console = nullptr, const FontFiles* fontFiles = nullptr,
                      std::ostream* errors = nullptr, std::size_t imageBudget = MaxContentImageBytes,
                      const DecodedImages* decoded = nullptr);

    // Decodes every picture a store built on `root` with `imageBudget` loads,
    // in the store's order and within the same budget: the single textures,
    // and each numbered set up to its first number that does not decode.
    // Needs no graphics driver. With `errors`, a picture that exists but
    // cannot be used is named there as the store names it.
    static DecodedImages decodeImages(const std::string& root, std::size_t imageBudget = MaxContentImageBytes,
                                      std::ostream* errors = nullptr);

    GameData(const GameData&) = delete;
    GameData& operator=(const GameData&) = delete;

    // Safe lookups for numbers that come from files or the editor: null when
    // the number is outside the table or names an empty slot.
    const sf::Texture* fieldTexture(int type) const;
    const sf::Texture* objectTexture(int id) const;
    const ObjectType* object(int id) const;

    bool hasGroundType(int type) const override { return fieldTexture(type) != nullptr; }
    bool hasObject(int id) const override { return object(id) != nullptr; }

    // How many ground types and object definitions were loaded: the sets run
    // 0..count-1 without gaps.
    int groundTypeCount() const { return groundTypes; }
    int objectCount() const { return objectDefinitions; }

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
    // `load(path, N, result)` gives null or the table is full; prints the
    // set's line, after the failed result's reason if there is one. Returns
    // the count of the set.
    template <typename T, typename Load>
    int loadSet(ContentTable<T>& table, const char* prefix, const char* extension, const char* label, Load load);
    // One numbered texture set: "<root>/<prefix><N>.png" from N = 0 up.
    int loadTextureSet(ContentTable<sf::Texture>& table, const char* prefix, const char* label);
    // The picture at `path` (decoded ahead, or read now) into `texture`,
    // within what is left of the image budget.
    ReadResult loadTexture(const std::string& path, sf::Texture& texture);
    void reportFailure(const ReadResult& result);
    void reportEnd(const char* label, const std::string& path);
    std::string path(const char* relative) const;

    std::string root;
    std::ostream* console;
    std::ostream* errors;
    std::size_t imageBytesLeft; // of the image budget
    const DecodedImages* decoded;
    int groundTypes = 0;
    int objectDefinitions = 0;
};
