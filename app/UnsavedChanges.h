#pragma once

#include "world/FieldMap.h"

#include <vector>

// Whether the map differs from what was last created, loaded or saved: the
// stored values of its fields are compared with a copy of them taken then,
// kept up to date one change at a time, so undoing back to the saved map
// counts as no change. Walking (the origin) is never a change.
class UnsavedChanges final : public FieldMapObserver
{
public:
    // Watches `map`, which must outlive this; its present values count as saved.
    explicit UnsavedChanges(FieldMap& map);
    ~UnsavedChanges();
    UnsavedChanges(const UnsavedChanges&) = delete;
    UnsavedChanges& operator=(const UnsavedChanges&) = delete;

    // The map's present values are what was saved (created, loaded, saved).
    void markSaved();
    // The map holds work that was never saved (a recovered map): it counts as
    // changed until the next markSaved, whatever its fields say.
    void markNeverSaved();

    bool any() const { return neverSaved || differing > 0; }

    void fieldChanged(int column, int row, const FieldValues& before) noexcept override;

private:
    FieldMap& map;
    std::vector<FieldValues> saved; // by field index
    int differing = 0;              // fields whose values differ from `saved`
    bool neverSaved = false;
};
