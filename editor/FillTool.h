#pragma once

#include <vector>

class EditHistory;
class FieldChange;
class FieldMap;

// F's tool: makes a change on field (c, r) and every field joined to it
// through its four neighbours with the same region type (FieldChange::
// regionType), as one edit of the history. Keeps its working memory between
// fills, so a fill allocates nothing.
class FillTool
{
public:
    FillTool();

    // Does nothing when the change does not fill from this field
    // (FieldChange::fills). The region is the one the fields had before the
    // fill: a field is changed once, after its neighbours were tested.
    void fill(FieldMap& map, EditHistory& history, const FieldChange& change, int column, int row);

private:
    std::vector<int> stack; // storage indices still to change
    std::vector<char> seen; // by storage index: the field is in the region
};
