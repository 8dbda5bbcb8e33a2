#include "editor/EditorChoices.h"

#include "platform/FrameKey.h"

void EditorChoices::describe(FrameKey& key) const
{
    // Naming every member makes a new choice a compile error here until it
    // is added to the key as well.
    const auto& [isActive, editMode, under, ground, object, brush] = *this;
    key.add(isActive).add(editMode).add(under).add(ground).add(object).add(brush);
}
