#pragma once

#include "app/Recovery.h"
#include "app/UnsavedChanges.h"
#include "mapfile/MapFile.h"
#include "platform/FileDialog.h"
#include "platform/Input.h"
#include "platform/KeyBindings.h"
#include "platform/TimeSource.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

class Editor;
class FieldMap;
class UI;

constexpr float RecoveryMessageSeconds = 12.f; // how long the start-up message about a recovery file stays

// What the window does around a file dialog: called with true before the
// dialog opens, with false once it has closed.
using DialogWindow = std::function<void(bool opening)>;

// The map's own file and the work not yet in it: saving (F5, Ctrl+S) and
// loading (F10, --map, the recovery key), which file the map belongs to,
// whether it has unsaved changes, and the recovery file that keeps them
// (offered at start, written while playing, made sure of at quitting).
// Outcomes go to the console as "--- Saving ..." / "--- Loading ..." lines
// and, where the player must know, to the HUD's message.
class MapFiles
{
public:
    // `map`, `editor`, `hud`, `keys`, `time` and `console` must outlive this.
    // An empty `stateFolder` keeps and offers no recovery files; otherwise a
    // recovery file left by an earlier game is offered at once.
    // `autosaveSeconds` between recovery writes (0: only at quitting).
    MapFiles(FieldMap& map, Editor& editor, UI& hud, const KeyBindings& keys, const TimeSource& time,
             std::ostream& console, const std::string& stateFolder, double autosaveSeconds, DialogWindow dialogWindow);
    ~MapFiles();
    MapFiles(const MapFiles&) = delete;
    MapFiles& operator=(const MapFiles&) = delete;

    // Replaces the file dialog for F5 and F10; the asker is told where the
    // dialog would start (see dialogStartPath).
    void setFileAsker(MapFileAsker asker) { askFile = std::move(asker); }

    // F5 and F10 while held (the dialog takes the keys), Ctrl+S once per
    // press of the combination, the recovery key once per press (Shift:
    // discard the offered file).
    void keys(const InputState& in, const InputState& previous);
    // Loads the map file `path` as F10 does, without the dialog.
    void loadAtStart(const std::string& path);

    // Whether the map has changes since it was created, loaded or saved.
    // Walking changes none; a recovered map has them until it is saved.
    bool unsavedChanges() const;

    // After a frame is shown: the periodic recovery write, begun when due;
    // returns the milliseconds spent formatting it here (0 when none began).
    double autosave();
    bool autosaveWriting() const;
    // Whether the game may close now: true without recovery, or when a
    // recovery file holds the unsaved changes; else the message says that
    // the work is not kept, and the next call gives up and says true.
    bool quit();
    // As quitting when the display is gone: no staying open.
    void keepUnsavedWork();
    // Whether the game closed with unsaved changes that no recovery file holds.
    bool unsavedWorkLost() const;

private:
    // Saving or loading, with the file from `choose`; `dialog` when it asks
    // the player. Every load goes through here.
    void sequence(bool saving, const MapFileChooser& choose, bool dialog);
    void done(bool saving, const std::string& file, const MapFileResult& result);
    // The dialog, starting at the map's own file.
    MapFileChooser dialogChooser() const;
    // The map's own file without a dialog; the dialog when it has none.
    void quickSave();
    void recoveryKey(const InputState& in);
    void offerRecovery();

    FieldMap& map;
    Editor& editor;
    UI& hud;
    const KeyBindings& bindings;
    std::ostream& console;
    DialogWindow dialogWindow;
    MapFileAsker askFile = askForMapFile;
    UnsavedChanges unsaved;
    std::string mapPath;                // the map's own file: where it was last loaded from or saved to
    std::unique_ptr<Recovery> recovery; // null without a state folder
    bool recoveryKeyHeld = false;       // the recovery key was down in the last frame
};
