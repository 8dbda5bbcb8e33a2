#pragma once

#include "content/NumberedSet.h"
#include "world/AutoTile.h"

#include <SFML/Graphics/Rect.hpp>

#include <cstdint>

constexpr int DefaultGroundType = 5; // both layers of every field of a new map

// What a map file stores of a field, and what an edit changes: its two ground
// types, its object and its solid flag. Everything else of a field follows
// from these.
struct FieldValues
{
    int groundType = DefaultGroundType;
    int underType = DefaultGroundType;
    int objectId = 0; // 0: no object
    bool solid = false;

    bool operator==(const FieldValues& other) const
    {
        return groundType == other.groundType && underType == other.underType && objectId == other.objectId &&
               solid == other.solid;
    }
    bool operator!=(const FieldValues& other) const { return !(*this == other); }
};

// One tile of the map as the map keeps it: its stored values and the piece its
// ground layer shows, in eight bytes. Where it stands, its collision rectangle,
// its object's picture and box all follow from these and the map's origin
// (FieldMap). The map owns every field and changes them; everyone else reads
// them.
class Field
{
public:
    FieldValues values() const { return {groundType(), underType(), objectId(), solid()}; }
    int groundType() const { return ground; }
    int underType() const { return under; }
    int objectId() const { return object; } // 0: no object
    bool solid() const { return flags & SolidFlag; }

    // The 16 x 16 piece of its type's sheet the ground layer shows, chosen by
    // auto-tiling; a new field shows the interior piece (0, 0, 16, 16). The
    // under layer always shows the interior piece.
    sf::IntRect groundPiece() const { return autoTilePiece(piece); }
    int pieceKey() const { return piece; }
    // Marked for auto-tiling: its ground changed since it was last tiled.
    bool needsAutoTile() const { return flags & MarkFlag; }
    // Whether an object definition was ever put on the field (object 0
    // included): only then does object 0's message show.
    bool objectAssigned() const { return flags & AssignedFlag; }

private:
    friend class FieldMap;
    static constexpr std::uint8_t SolidFlag = 1, MarkFlag = 2, AssignedFlag = 4;
    static_assert(ContentSetCapacity <= INT16_MAX, "a stored number must fit its 16 bits");

    void setFlag(std::uint8_t flag, bool on) { flags = on ? std::uint8_t(flags | flag) : std::uint8_t(flags & ~flag); }

    std::int16_t ground = DefaultGroundType;
    std::int16_t under = DefaultGroundType;
    std::int16_t object = 0;
    std::uint8_t piece = InteriorPieceKey;
    std::uint8_t flags = MarkFlag;
};
