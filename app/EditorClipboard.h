#pragma once

#include "platform/Input.h"
#include "platform/KeyBindings.h"
#include "world/FieldBlock.h"

#include <cstdint>
#include <string>

class Editor;
class Stamps;

// Joins the editor's clipboard to the stamps and to the desktop's clipboard:
// whatever the editor's clipboard comes to hold (copied, cut, flipped,
// turned, a stamp) is put on the desktop as stamp text; Ctrl+V takes a stamp
// another game put there; Ctrl+B saves the clipboard as a named stamp; a
// stamp chosen in the picker is shown as a paste. Only while the editor is on.
class EditorClipboard
{
public:
    // `editor` and `stamps` must outlive this.
    EditorClipboard(Editor& editor, Stamps& stamps, const KeyBindings& keys);

    // Before the editor's update of this frame, on its input `forEditor`
    // (`previous` the last frame's): when Ctrl+V goes down and no paste
    // shows, the editor's clipboard becomes what the desktop's holds, which
    // the update then shows as a paste. Text that is no stamp pastes
    // nothing: Ctrl+V is taken out of `forEditor` and the returned line says
    // why. Null when there is nothing to say; valid until the next call.
    const std::string* beforeUpdate(InputState& forEditor, const InputState& previous);
    // After the editor's update: a changed clipboard goes to the desktop,
    // then Ctrl+B saves it as a stamp (asking for the name). The line to
    // show, or null.
    const std::string* afterUpdate(const InputState& input, const InputState& previous);
    // The stamp `name`, chosen in the picker, into the clipboard and shown as
    // a paste under the mouse; a stamp that cannot be loaded changes nothing.
    // The line to show.
    const std::string& chooseStamp(const std::string& name);

private:
    bool went(const InputState& input, const InputState& previous, KeyAction action) const;

    Editor& editor;
    Stamps& stamps;
    KeyBindings keys;
    std::uint64_t desktopRevision = 0; // the clipboard revision last put on the desktop
    std::string message;
};
