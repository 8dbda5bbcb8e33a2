#pragma once

#include "world/FieldMap.h"

#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// What an edit was, for the messages of undo and redo.
enum class EditKind
{
    Painting,  // a stroke of the brush
    Objects,   // a stroke placing or removing objects
    Solid,     // a stroke marking or clearing solid fields
    Fill,      // one fill
    Rectangle, // one rectangle
    Loading,   // one map load, its origin included
    Cut,       // the selection copied and cleared
    Clearing,  // the selection cleared
    Paste,     // the clipboard placed
    Line,      // a straight line of the brush, and the stroke it starts
};

// Bytes the stored edits may take together, allocator overhead included. A
// change of the whole map stores 40,000 fields of 36 bytes (1.4 MB), so this
// keeps the last 29 of them; with the open edit and the copy made
// while it is stored (2.9 MB at most) the history stays under 64 MB on any
// sequence of edits.
constexpr std::size_t EditHistoryByteLimit = std::size_t{40} << 20; // bytes

// An edit undone or redone: its kind and how many fields it changed.
struct EditSummary
{
    EditKind kind = EditKind::Painting;
    std::size_t fields = 0;
};

// The editor's undo and redo. An edit is opened on a map, every change of a
// field's stored values that the map reports while it is open is kept (the
// values before and after, once per field), and closing it makes it the
// newest entry: only what changed is stored, never the whole map. An edit
// that changed nothing (no field, and for a load not the origin either) is no
// entry; a new entry drops the edits that could have been redone; past
// EditHistoryByteLimit the oldest entries are dropped.
//
// While an edit is open the history observes its map: close or discard it
// before the map dies (the destructor closes an open edit, so destroy the
// history first). Changes made while no edit is open are not recorded.
class EditHistory final : public FieldMapObserver
{
public:
    EditHistory();
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Opens an edit of `kind` on `map`, closing an open one first. A history
    // kept for another map is cleared first. A load keeps the map's origin
    // now, to bring it back on undo.
    void begin(FieldMap& map, EditKind kind);
    // Closes the open edit, storing it when it changed anything. Nothing open:
    // nothing happens.
    void end();
    // Closes the open edit without storing it (a load that failed, which left
    // the map as it was). Should it have changed the map after all, the whole
    // history is cleared: older entries would no longer fit the map.
    void discard();
    bool isOpen() const { return openMap != nullptr; }

    // Puts back the values of every field the newest entry changed (and for a
    // load its origin), then has the map choose the ground pieces of the
    // fields in view from the types now around them; fields out of view are
    // marked and follow when they come into view. Closes an open edit first.
    // Nothing to undo (or `map` is not the one the history was kept for):
    // nothing changes and the result is empty.
    std::optional<EditSummary> undo(FieldMap& map);
    // The same for the entry undone last, with the values after it.
    std::optional<EditSummary> redo(FieldMap& map);

    std::size_t undoCount() const { return next; }
    std::size_t redoCount() const { return entries.size() - next; }
    // What the stored entries take, bytes, as counted against the limit.
    std::size_t bytes() const { return storedBytes; }
    // Forgets every entry (and an open edit's changes; it stays open).
    void clear();

    void fieldChanged(int column, int row, const FieldValues& before) noexcept override;

private:
    // One field an edit changed, by its storage index (column * 200 + row).
    struct FieldEdit
    {
        std::uint16_t index;
        FieldValues before;
        FieldValues after;
    };
    struct Entry
    {
        EditKind kind;
        std::vector<FieldEdit> fields;
        sf::Vector2f originBefore; // kept for loads only
        sf::Vector2f originAfter;
    };
    static std::size_t bytesOf(const Entry& entry);
    void close(bool keep);
    void store(EditKind kind, sf::Vector2f originAfter);
    void apply(FieldMap& map, const Entry& entry, bool forward);
    void dropRedo();

    std::deque<Entry> entries;
    std::size_t next = 0; // entries[0, next) can be undone, entries[next, end) redone
    std::size_t storedBytes = 0;
    const FieldMap* keptFor = nullptr; // the map the entries belong to

    // The open edit.
    FieldMap* openMap = nullptr;
    EditKind openKind = EditKind::Painting;
    sf::Vector2f openOrigin;
    std::vector<FieldEdit> pending; // first change of each field, `after` filled on closing
    std::vector<bool> touched;      // by storage index: the field is in `pending`
    bool lostChanges = false;       // a change could not be kept: the history is dropped
};
