#include "editor/EditHistory.h"

#include <algorithm>
#include <new>

namespace
{
// What the allocator adds to each block it hands out, bytes (glibc: 8 to 16).
constexpr std::size_t AllocationOverhead = 16;
} // namespace

EditHistory::EditHistory() : touched(FieldCount, false) {}

EditHistory::~EditHistory()
{
    end();
}

std::size_t EditHistory::bytesOf(const Entry& entry)
{
    return sizeof(Entry) + AllocationOverhead + entry.fields.capacity() * sizeof(FieldEdit);
}

void EditHistory::begin(FieldMap& map, EditKind kind)
{
    end();
    if (&map != keptFor)
    {
        clear();
        keptFor = &map;
    }
    try
    {
        map.addObserver(this);
    }
    catch (const std::bad_alloc&)
    {
        // Unrecorded changes would make every older entry wrong.
        clear();
        return;
    }
    openMap = &map;
    openKind = kind;
    openOrigin = map.origin();
    lostChanges = false;
}

void EditHistory::end()
{
    close(true);
}

void EditHistory::discard()
{
    close(false);
}

void EditHistory::fieldChanged(int column, int row, const FieldValues& before) noexcept
{
    const std::size_t index = static_cast<std::size_t>(FieldMap::index(column, row));
    if (!openMap || index >= touched.size() || touched[index])
        return;
    try
    {
        pending.push_back({static_cast<std::uint16_t>(index), before, before});
        touched[index] = true;
    }
    catch (const std::bad_alloc&)
    {
        lostChanges = true;
    }
}

void EditHistory::close(bool keep)
{
    if (!openMap)
        return;
    FieldMap& map = *openMap;
    map.removeObserver(this);
    openMap = nullptr;
    for (FieldEdit& edit : pending)
    {
        touched[edit.index] = false;
        edit.after = map.fields()[edit.index].values();
    }
    const bool changed = std::any_of(pending.begin(), pending.end(),
                                     [](const FieldEdit& edit) { return edit.before != edit.after; });
    // Changes that are not kept would make every older entry wrong.
    if (lostChanges || (!keep && changed))
        clear();
    else if (keep)
    {
        try
        {
            store(openKind, map.origin());
        }
        catch (const std::bad_alloc&)
        {
            clear();
        }
    }
    pending.clear();
}

void EditHistory::store(EditKind kind, sf::Vector2f originAfter)
{
    // A field changed and changed back is no change.
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [](const FieldEdit& edit) { return edit.before == edit.after; }),
                  pending.end());
    const bool moved = kind == EditKind::Loading && originAfter != openOrigin;
    if (pending.empty() && !moved)
        return;

    dropRedo();
    // A copy of exactly the size needed: `pending` keeps its capacity for the
    // next edit.
    entries.push_back({kind, std::vector<FieldEdit>(pending.begin(), pending.end()), openOrigin, originAfter});
    storedBytes += bytesOf(entries.back());
    next = entries.size();
    while (storedBytes > EditHistoryByteLimit && entries.size() > 1)
    {
        storedBytes -= bytesOf(entries.front());
        entries.pop_front();
        --next;
    }
}

void EditHistory::dropRedo()
{
    while (entries.size() > next)
    {
        storedBytes -= bytesOf(entries.back());
        entries.pop_back();
    }
}

void EditHistory::clear()
{
    entries.clear();
    next = 0;
    storedBytes = 0;
    for (const FieldEdit& edit : pending)
        touched[edit.index] = false;
    pending.clear();
}

std::optional<EditSummary> EditHistory::undo(FieldMap& map)
{
    end();
    if (&map != keptFor || next == 0)
        return std::nullopt;
    const Entry& entry = entries[next - 1];
    apply(map, entry, false);
    --next;
    return EditSummary{entry.kind, entry.fields.size()};
}

std::optional<EditSummary> EditHistory::redo(FieldMap& map)
{
    end();
    if (&map != keptFor || next == entries.size())
        return std::nullopt;
    const Entry& entry = entries[next];
    apply(map, entry, true);
    ++next;
    return EditSummary{entry.kind, entry.fields.size()};
}

void EditHistory::apply(FieldMap& map, const Entry& entry, bool forward)
{
    for (const FieldEdit& edit : entry.fields)
        map.setValues(edit.index / MapSize, edit.index % MapSize, forward ? edit.after : edit.before);
    if (entry.kind == EditKind::Loading)
    {
        const sf::Vector2f origin = forward ? entry.originAfter : entry.originBefore;
        if (map.origin() != origin)
            map.setOrigin(origin.x, origin.y);
    }
    // Pieces follow from the types now around each field, never from a record.
    map.retileView();
}
