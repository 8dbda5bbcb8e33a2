#pragma once

#include "content/ContentCatalog.h"
#include "content/DecodedImages.h"
#include "content/ObjectType.h"

#include <SFML/Graphics/Image.hpp>

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class GameData;

// The content as pictures in memory, for drawing on the processor without a
// graphics driver (the whole map as one picture): each ground type's sheet,
// each object's picture and definition. Read-only once built, so any thread
// may read it.
class ContentPictures final : public ContentCatalog
{
public:
    // The content below `root`, by the store's own rules: the pictures the
    // store would load (GameData::decodeImages, the same sets, order and
    // budget) and the object definitions, each set up to its first number
    // that is missing or cannot be used. Needs no display. With `errors`, a
    // file that exists but cannot be used is named there as the store names
    // it ("--- Content Refused: <path>: <reason>").
    explicit ContentPictures(const std::string& root, std::ostream* errors = nullptr);

    // What `store` loaded from `root`: its ground types and object
    // definitions, with the pictures taken out of `decoded` (what was decoded
    // for the store). A picture the store read without decoding it ahead is
    // missing here and draws as nothing.
    ContentPictures(const GameData& store, const std::string& root, DecodedImages&& decoded);

    // Null for a number outside the set, and for a picture that is missing.
    const sf::Image* groundSheet(int type) const;
    const sf::Image* objectPicture(int id) const;
    const ObjectType* object(int id) const;

    int groundTypeCount() const { return static_cast<int>(sheets.size()); }
    int objectCount() const { return static_cast<int>(definitions.size()); }

    bool hasGroundType(int type) const override { return type >= 0 && type < groundTypeCount(); }
    bool hasObject(int id) const override { return object(id) != nullptr; }

private:
    // Pictures from `decoded` for "<root><prefix><N>.png", N = 0 up to
    // `count` (or to the first one missing when `count` is negative).
    static std::vector<std::unique_ptr<sf::Image>> takeSet(DecodedImages& decoded, const std::string& root,
                                                           const char* prefix, int count);

    std::vector<std::unique_ptr<sf::Image>> sheets;   // by ground type; never null
    std::vector<std::unique_ptr<sf::Image>> pictures; // by object id; null where missing
    std::vector<std::unique_ptr<ObjectType>> definitions; // by object id; never null
};
