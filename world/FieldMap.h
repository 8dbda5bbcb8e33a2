#pragma once

#include "platform/ScenePixels.h"
#include "world/Field.h"

#include <SFML/Graphics/Vertex.hpp>

#include <cstdint>
#include <vector>

namespace sf
{
class Drawable;
class RenderTarget;
class Texture;
} // namespace sf

class GameData;
class ObjectSprite;

constexpr int MapSize = 200;                   // fields per side of the map
constexpr int FieldCount = MapSize * MapSize;  // fields of the map
constexpr int MapPixels = MapSize * FieldSize; // scene pixels per side of the whole map

// A rectangle of scene pixels with inclusive bounds, tested on a field's
// position truncated toward zero.
struct PixelWindow
{
    int left, top, right, bottom;

    constexpr bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Fields here get their objects placed, and their ground drawn.
constexpr PixelWindow PlacementWindow{-50, -50, 400, 272};
// Fields here get their objects drawn.
constexpr PixelWindow ObjectWindow{-50, -50, 368, 240};

// Told of every change to the stored values of a field (ground types, object,
// solid flag), whoever made it: the editor's history, the map overview. Must
// not throw: the map is already changed when it is told.
class FieldMapObserver
{
public:
    virtual void fieldChanged(int column, int row, const FieldValues& before) noexcept = 0;

protected:
    ~FieldMapObserver() = default;
};

// The world: 200 x 200 fields of 16 x 16 scene pixels. The field in column c and
// row r is fields()[c * 200 + r] and always stands at origin + (16 c, 16 r);
// the origin is the position of field (0, 0)'s ground layer. There is no
// camera: walking moves every field.
class FieldMap
{
public:
    // A uniform map of ground type 5 on both layers, no objects, nothing solid,
    // every field marked for auto-tiling, field (0, 0) at (0, 0). `content`
    // must outlive the map.
    explicit FieldMap(const GameData* content);

    // Gives a map built without a content store (null `content`) its store:
    // every field's layers get the textures of their ground types. Lets the
    // game build the map's 40,000 fields while the content is still loading.
    void attachContent(const GameData* content);

    FieldMap(const FieldMap&) = delete;
    FieldMap& operator=(const FieldMap&) = delete;

    static constexpr int index(int column, int row) { return column * MapSize + row; }
    // The collision rectangle of a solid field standing at `position` (scene
    // pixels): the field's 16 x 16 pixels from its position truncated.
    static sf::IntRect solidRectAt(sf::Vector2f position)
    {
        return {truncatePixel(position.x), truncatePixel(position.y), FieldSize, FieldSize};
    }
    static constexpr bool onMap(int column, int row)
    {
        return column >= 0 && column < MapSize && row >= 0 && row < MapSize;
    }
    // Field (c, r); both must lie in 0..199.
    const Field& at(int column, int row) const { return storage[static_cast<std::size_t>(index(column, row))]; }
    // Every field, column by column: (c, r) is element c * 200 + r.
    const std::vector<Field>& fields() const { return storage; }
    const GameData* content() const { return store; }

    // The map origin: the position of field (0, 0), scene pixels.
    const sf::Vector2f& origin() const { return storage[0].groundSprite.getPosition(); }

    // Edits. Each changes one field of the grid (c, r in 0..199); what follows
    // from it (the ground pieces, the collision rectangle, the object's place)
    // is brought up to date by the next refresh. A change of the stored values
    // raises revision() and is told to the observers; an edit that leaves
    // them as they were is no change.
    //
    // Field::setGround on field (c, r): false, and nothing changes, for a
    // type without a loaded texture.
    bool paintGround(int column, int row, int type, bool underLayer);
    // Object `id` on the field (0 removes it); false, and nothing changes,
    // when the store has no definition `id`.
    bool setObject(int column, int row, int id);
    void setSolid(int column, int row, bool solid);
    // All four stored values at once (undo, loading): false, and nothing
    // changes, when a type or the object is not loaded (DefaultGroundType is
    // taken without a texture, as a new map has it). A changed ground
    // type marks the field for auto-tiling; the pieces stay until then.
    bool setValues(int column, int row, const FieldValues& values);

    // Marks every field for auto-tiling, as a freshly loaded map is.
    void markAllForAutoTile();

    // Counts the changes of stored values since the map was built.
    std::uint64_t revision() const { return changes; }
    // Counts the changes to anything draw() shows: a layer's texture, piece
    // or position, an object's definition, presence or position (every change
    // of stored values counts as one too). Two draws with the same
    // drawRevision() and the same `between` put out the same pixels. Moving
    // by (0, 0), and an auto-tiling pass or a placement that leaves every
    // piece and object as it was, are no change. Whatever comes to change what
    // draw() shows must count here: the game reuses its last picture while
    // this stays the same.
    std::uint64_t drawRevision() const { return drawChanges; }
    // `observer` must stay alive until it is removed.
    void addObserver(FieldMapObserver* observer);
    void removeObserver(FieldMapObserver* observer);

    // Moves every field by (dx, dy) pixels, then brings its collision rectangle
    // and, inside the placement window, its object's position up to date.
    void scroll(float dx, float dy);

    // The auto-tiling pass, then collision rectangles and object positions of
    // every field. Once per frame, after the editor and the player.
    void refresh();

    // Puts field (c, r) at (16 c + x, 16 r + y). Collision rectangles and objects
    // follow at the next scroll or refresh.
    void setOrigin(float x, float y);

    // Draws into `target`: the ground of the fields in the placement window,
    // the objects in the object window whose picture stands above `betweenY`,
    // then `between` (the player), then the objects level with or below it
    // (lower rows over upper ones). The pixels are those of drawing every
    // layer and object as its own sprite in that order; layers and objects of
    // one texture go out together where no other picture lies between them.
    // Object pictures are taken as placed, moved by their origin, never
    // scaled or rotated.
    void draw(sf::RenderTarget& target, const sf::Drawable& between, float betweenY);

    // Chooses the ground piece of field (c, r), and first of its four
    // neighbours when `withNeighbours`. The caller keeps 1 <= c, r <= 198
    // without neighbours and 2 <= c, r <= 197 with them.
    void autoTile(int column, int row, bool withNeighbours);

    // Re-tiles every marked field of the 36 x 28 window that starts at the
    // field covering the scene's top-left corner, kept 2 fields off the edges.
    void autoTilePass();

    // Chooses now, from the ground types around them, the piece of every
    // field the pass can reach from the current origin: the fields of its
    // window and those next to it, in columns and rows 1..198 (a field of an
    // outer column or row has no neighbour beyond the edge and keeps its
    // piece). The window's fields lose their mark; a marked field next to the
    // window keeps it, so its own neighbours follow once it is in the window.
    // Fields farther out are left alone. For changes that may touch any field
    // in view at once (undo, redo): the view is right in the same frame.
    void retileView();

    // Draw calls made by the last draw, for the benchmarks.
    int lastDrawCalls = 0;

private:
    Field& fieldAt(int column, int row) { return storage[static_cast<std::size_t>(index(column, row))]; }
    // The pass's window from the current origin: columns [first, end) and
    // rows [first, end), each bound clamped on its own into 2..198.
    struct TileWindow
    {
        int firstColumn, firstRow, endColumn, endRow;
    };
    TileWindow tileWindow() const;
    // Counts a change of field (c, r), whose values were `before`.
    void changed(int column, int row, const FieldValues& before);

    // Settling, shared by scroll and refresh: every field's collision
    // rectangle from its position and solid flag, then the objects of the
    // fields in the placement window put on their fields.
    void settleRect(Field& field);
    void placeObjects();

    // Quads of one texture, drawn with one call.
    struct Batch
    {
        const sf::Texture* texture = nullptr;
        std::vector<sf::Vertex> vertices;
    };
    // Object quads of one texture with their bounds, scene pixels.
    struct ObjectBatch
    {
        const sf::Texture* texture = nullptr;
        std::vector<sf::Vertex> vertices;
        std::vector<sf::FloatRect> quads;
        sf::FloatRect bounds;
    };
    void appendGround(std::vector<Batch>& batches, const FieldSprite& layer);
    void drawBatches(sf::RenderTarget& target, std::vector<Batch>& batches);
    void drawObjects(sf::RenderTarget& target, float playerY, bool inFront);
    void appendObject(const sf::Texture* texture, const ObjectSprite& picture, sf::Vector2f position);

    const GameData* store;
    std::vector<Field> storage; // 40,000, column by column
    std::uint64_t changes = 0;
    std::uint64_t drawChanges = 0;
    std::vector<FieldMapObserver*> observers;

    // Kept between frames so drawing reuses their memory.
    std::vector<Batch> underBatches;
    std::vector<Batch> groundBatches;
    std::vector<ObjectBatch> objectBatches;
    std::size_t objectBatchesUsed = 0;
};
