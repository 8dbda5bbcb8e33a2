#include "editor/EditorChoices.h"
#include "platform/FrameKey.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Every editor choice shows somewhere (the HUD's sprites, the cursor, the
// picker's frames): a frame whose choices differ in any one of them must not
// be taken for the last one.
TEST(FrameKeyTest, EveryEditorChoiceChangesTheKey)
{
    const std::vector<std::function<void(EditorChoices&)>> changes{
        [](EditorChoices& c) { c.active = true; },
        [](EditorChoices& c) { c.mode = EditorMode::MarkSolid; },
        [](EditorChoices& c) { c.underLayer = true; },
        [](EditorChoices& c) { c.selectedGround = 1; },
        [](EditorChoices& c) { c.selectedObject = 1; },
        [](EditorChoices& c) { c.brushSize = MaxBrushSize; },
    };
    FrameKey unchanged;
    EditorChoices().describe(unchanged);
    for (std::size_t row = 0; row < changes.size(); ++row)
    {
        EditorChoices choices;
        changes[row](choices);
        FrameKey changed;
        choices.describe(changed);
        EXPECT_NE(changed, unchanged) << "change " << row;
        FrameKey again;
        choices.describe(again);
        EXPECT_EQ(again, changed) << "change " << row;
    }
}
