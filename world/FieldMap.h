#pragma once

#include "platform/ScenePixels.h"
#include "platform/ViewZoom.h"
#include "world/Field.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class GameData;
class ObjectType;

constexpr int MapSize = 200;                   // fields per side of the map
constexpr int FieldCount = MapSize * MapSize;  // fields of the map
constexpr int MapPixels = MapSize * FieldSize; // scene pixels per side of the whole map
constexpr int GameViewWidth = 320;             // scene pixels the game shows: 20 fields
constexpr int GameViewHeight = 192;            // scene pixels: 12 fields

// The view `zoom` shows: the game's view grown around its centre, scene pixels.
inline sf::IntRect zoomedView(ViewZoom zoom)
{
    const int grown = zoomFactor(zoom) - 1;
    return {-grown * GameViewWidth / 2, -grown * GameViewHeight / 2, (grown + 1) * GameViewWidth,
            (grown + 1) * GameViewHeight};
}

// A rectangle of scene pixels with inclusive bounds, tested on a field's
// position truncated toward zero.
struct PixelWindow
{
    int left, top, right, bottom;

    constexpr bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    // The same window moved by (dx, dy) scene pixels.
    constexpr PixelWindow movedBy(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

// Around a view of `width` x `height` scene pixels whose top-left corner is
// the scene's (0, 0): fields here get their ground drawn (for the game's view
// -50..400 x -50..272) ...
constexpr PixelWindow groundWindow(int width, int height)
{
    return {-50, -50, width + 80, height + 80};
}
// ... and fields here their objects (for the game's view -50..368 x -50..240).
constexpr PixelWindow objectWindow(int width, int height)
{
    return {-50, -50, width + 48, height + 48};
}

// Columns firstColumn..lastColumn and rows firstRow..lastRow, both inclusive;
// empty when a last is below its first.
struct FieldRange
{
    int firstColumn = 0, firstRow = 0, lastColumn = -1, lastRow = -1;

    bool empty() const { return lastColumn < firstColumn || lastRow < firstRow; }
};

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

// The world: 200 x 200 fields of 16 x 16 scene pixels, kept as values, with a
// camera. The field in column c and row r is fields()[c * 200 + r] and stands
// at origin + (16 c, 16 r), computed in float; the origin (the map origin) is
// where field (0, 0) stands in the scene. Walking moves the origin. The view
// is the rectangle of the scene the game shows, of any size, from its corner
// ((0, 0) for the game's own view; a wider view around the same centre starts
// left of and above it): the auto-tiling pass and the drawing windows follow it.
//
// Every position, rectangle and box is computed from the origin when asked
// for: a field's truncated position is each coordinate of its float position
// truncated toward zero.
class FieldMap
{
public:
    // A uniform map of ground type 5 on both layers, no objects, nothing solid,
    // every field marked for auto-tiling, field (0, 0) at (0, 0). `content`
    // must outlive the map; `viewWidth` x `viewHeight` scene pixels, each at
    // least 1.
    explicit FieldMap(const GameData& content, int viewWidth = GameViewWidth, int viewHeight = GameViewHeight);

    FieldMap(const FieldMap&) = delete;
    FieldMap& operator=(const FieldMap&) = delete;

    static constexpr int index(int column, int row) { return column * MapSize + row; }
    static constexpr bool onMap(int column, int row)
    {
        return column >= 0 && column < MapSize && row >= 0 && row < MapSize;
    }
    // The collision rectangle of a solid field standing at `position` (scene
    // pixels): the field's 16 x 16 pixels from its position truncated.
    static sf::IntRect solidRectAt(sf::Vector2f position)
    {
        return {truncatePixel(position.x), truncatePixel(position.y), FieldSize, FieldSize};
    }
    // Where field (c, r) stands with the map origin at `origin`: origin +
    // (16 c, 16 r), in float.
    static sf::Vector2f positionAt(sf::Vector2f origin, int column, int row)
    {
        return {origin.x + static_cast<float>(FieldSize * column), origin.y + static_cast<float>(FieldSize * row)};
    }

    // Field (c, r); both must lie in 0..199.
    const Field& at(int column, int row) const
    {
        assert(onMap(column, row));
        return storage[static_cast<std::size_t>(index(column, row))];
    }
    // Every field, column by column: (c, r) is element c * 200 + r.
    const std::vector<Field>& fields() const { return storage; }
    const GameData& content() const { return store; }

    // The map origin: where field (0, 0) stands, scene pixels.
    const sf::Vector2f& origin() const { return mapOrigin; }
    // The view's size in scene pixels.
    sf::Vector2i viewSize() const { return view; }
    // The view's top-left corner in scene pixels: (0, 0) unless a wider view
    // was set around the game's.
    sf::Vector2i viewCorner() const { return corner; }
    // A view of another size (each at least 1) from the scene's (0, 0);
    // counts as a change to what is drawn.
    void setViewSize(int width, int height);
    // The view `area` (scene pixels, width and height at least 1); counts as
    // a change to what is drawn when it differs from the view now.
    void setViewArea(const sf::IntRect& area);

    // Computed from the origin, for field (c, r) in 0..199:
    // where it stands, scene pixels;
    sf::Vector2f position(int column, int row) const { return positionAt(mapOrigin, column, row); }
    // its collision rectangle: solidRectAt its position while solid, else all 0;
    sf::IntRect solidRect(int column, int row) const;
    // the definition of its object, null for none (object 0);
    const ObjectType* objectType(int column, int row) const;
    // its object's collision box (objectBoxAt its position), all 0 for none;
    sf::IntRect objectBox(int column, int row) const;
    // the message of its object's definition: empty for a field that never
    // had an object put on it, object 0's own message once one was removed.
    const std::string& message(int column, int row) const;

    // The field under scene point `point`: of the columns from c0 = max(0,
    // -((x0 - vx) / 16)) and the rows from r0 = max(0, -((y0 - vy) / 16)) (x0,
    // y0 the origin truncated toward zero, (vx, vy) the view's corner, integer
    // division toward zero: the field covering the view's corner), the one
    // whose truncated position (fx, fy) has fx <= x <= fx + 16 and
    // fy <= y <= fy + 16; a field's edges count as inside, and on a shared
    // edge the lower column, then the lower row, wins. Empty when no field
    // is hit, for a point that is not finite, and while c0 or r0 >= 200.
    std::optional<sf::Vector2i> fieldUnder(sf::Vector2f point) const;

    // The fields whose truncated position lies in `window`; a window test on
    // every field gives the same fields.
    FieldRange fieldsIn(const PixelWindow& window) const;
    // The drawing windows for this map's view, moved with its corner.
    PixelWindow groundWindow() const { return ::groundWindow(view.x, view.y).movedBy(corner.x, corner.y); }
    PixelWindow objectWindow() const { return ::objectWindow(view.x, view.y).movedBy(corner.x, corner.y); }

    // Edits. Each changes one field of the grid (c, r in 0..199). A change of
    // the stored values raises revision() and is told to the observers; an
    // edit that leaves them as they were is no change.
    //
    // Paints ground type `type` on the under layer (`underLayer`) or the
    // ground layer and marks the field for auto-tiling; its piece stays until
    // then. False, and nothing changes, for a type without a loaded texture.
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
    // Counts the changes to anything a drawing of the map shows: a field's
    // values or piece, the origin, the view (every change of stored values
    // counts as one too). Two drawings with the same drawRevision() and the
    // same picture between the objects put out the same pixels. Moving by
    // (0, 0), and an auto-tiling pass that leaves every piece as it was, are
    // no change. Whatever comes to change what is drawn must count here: the
    // game reuses its last picture while this stays the same.
    std::uint64_t drawRevision() const { return drawChanges; }
    // `observer` must stay alive until it is removed.
    void addObserver(FieldMapObserver* observer);
    void removeObserver(FieldMapObserver* observer);

    // Moves the map by (dx, dy) pixels: the origin, and with it every field.
    void scroll(float dx, float dy);

    // The auto-tiling pass. Once per frame, after the editor and the player.
    void refresh() { autoTilePass(); }

    // Puts field (c, r) at (16 c + x, 16 r + y).
    void setOrigin(float x, float y);

    // Chooses the ground piece of field (c, r) by the auto-tiling rule, and
    // first of its four neighbours when `withNeighbours`, clearing their
    // marks. The caller keeps 1 <= c, r <= 198 without neighbours and
    // 2 <= c, r <= 197 with them.
    void autoTile(int column, int row, bool withNeighbours);

    // Re-tiles every marked field of the pass's window: the view's columns
    // and rows and AutoTileWindowExtra more of each (36 x 28 for the game's
    // view), starting at the field covering the view's top-left corner (as
    // fieldUnder's c0 and r0 find it), each
    // bound clamped on its own into 2..198 (so the outer two rings of the map
    // are never the centre of a call).
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

private:
    Field& fieldAt(int column, int row)
    {
        assert(onMap(column, row));
        return storage[static_cast<std::size_t>(index(column, row))];
    }
    // The pass's window from the current origin: columns [first, end) and
    // rows [first, end), each bound clamped on its own into 2..198.
    struct TileWindow
    {
        int firstColumn, firstRow, endColumn, endRow;
    };
    TileWindow tileWindow() const;
    // The column and row of the field covering the view's corner, off the
    // map when none does: -((x0 - vx) / 16), -((y0 - vy) / 16), see fieldUnder.
    sf::Vector2i cornerField() const;
    // Puts definition `id` on the field (assigned from now on); counts a
    // drawing change when its object changes.
    void assignObject(Field& field, int id);
    // Counts a change of field (c, r), whose values were `before`.
    void changed(int column, int row, const FieldValues& before);

    const GameData& store;
    std::vector<Field> storage; // 40,000, column by column
    sf::Vector2f mapOrigin;
    sf::Vector2i view;
    sf::Vector2i corner;
    std::uint64_t changes = 0;
    std::uint64_t drawChanges = 0;
    std::vector<FieldMapObserver*> observers;
};
