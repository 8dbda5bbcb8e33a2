#include "app/EditorClipboard.h"

#include "app/Stamps.h"
#include "editor/Editor.h"

EditorClipboard::EditorClipboard(Editor& editor, Stamps& stamps, const KeyBindings& keys)
    : editor(editor), stamps(stamps), keys(keys), desktopRevision(editor.clipboardRevision())
{
}

bool EditorClipboard::went(const InputState& input, const InputState& previous, KeyAction action) const
{
    return ctrlHeld(input) && keys.held(input, action) && !keys.held(previous, action);
}

const std::string* EditorClipboard::beforeUpdate(InputState& forEditor, const InputState& previous)
{
    // A second Ctrl+V cancels the paste shown: the editor's own key.
    if (!editor.active() || editor.pasting() || !went(forEditor, previous, KeyAction::Paste))
        return nullptr;
    FieldBlock block;
    const StampOutcome taken = stamps.takeFromDesktop(editor.clipboard(), block);
    if (taken.status == StampOutcome::Status::Complete)
    {
        editor.setClipboard(std::move(block));
        // What the desktop held is the clipboard now: nothing to put back.
        desktopRevision = editor.clipboardRevision();
        return nullptr;
    }
    for (const sf::Keyboard::Key key : keys.binding(KeyAction::Paste).keys)
        forEditor.press(key, false);
    message = taken.message;
    return message.empty() ? nullptr : &message;
}

const std::string* EditorClipboard::afterUpdate(const InputState& input, const InputState& previous)
{
    if (editor.clipboardRevision() != desktopRevision)
    {
        stamps.putOnDesktop(editor.clipboard());
        desktopRevision = editor.clipboardRevision();
    }
    if (!editor.active() || !went(input, previous, KeyAction::SaveStamp))
        return nullptr;
    const StampOutcome saved = stamps.save(editor.clipboard());
    if (saved.status == StampOutcome::Status::Cancelled || saved.message.empty())
        return nullptr;
    message = saved.message;
    return &message;
}

const std::string& EditorClipboard::chooseStamp(const std::string& name)
{
    FieldBlock block;
    const StampOutcome loaded = stamps.load(name, block);
    message = loaded.message;
    if (loaded.status == StampOutcome::Status::Complete)
    {
        editor.setClipboard(std::move(block));
        editor.startPaste();
    }
    return message;
}
