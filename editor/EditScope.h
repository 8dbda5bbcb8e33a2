#pragma once

#include "editor/EditHistory.h"

// One edit of a history for as long as the scope lives: opened on `map` when
// it is made, closed (and stored when it changed anything) when it ends,
// unless discard() dropped it first. `history` and `map` must outlive it.
class EditScope
{
public:
    EditScope(EditHistory& history, FieldMap& map, EditKind kind) : history(history) { history.begin(map, kind); }
    ~EditScope()
    {
        if (open)
            history.end();
    }
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

    // Closes the edit without storing it (EditHistory::discard).
    void discard()
    {
        history.discard();
        open = false;
    }

private:
    EditHistory& history;
    bool open = true;
};
