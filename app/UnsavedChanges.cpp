#include "app/UnsavedChanges.h"

UnsavedChanges::UnsavedChanges(FieldMap& map) : map(map), saved(FieldCount)
{
    markSaved();
    map.addObserver(this);
}

UnsavedChanges::~UnsavedChanges()
{
    map.removeObserver(this);
}

void UnsavedChanges::markSaved()
{
    const std::vector<Field>& fields = map.fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        saved[i] = fields[i].values();
    differing = 0;
    neverSaved = false;
}

void UnsavedChanges::markNeverSaved()
{
    neverSaved = true;
}

void UnsavedChanges::fieldChanged(int column, int row, const FieldValues& before) noexcept
{
    const FieldValues& was = saved[static_cast<std::size_t>(FieldMap::index(column, row))];
    const bool differedBefore = before != was;
    const bool differsNow = map.at(column, row).values() != was;
    differing += int(differsNow) - int(differedBefore);
}
