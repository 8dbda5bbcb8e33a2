#include "app/MapFiles.h"

#include "editor/EditScope.h"
#include "editor/Editor.h"
#include "hud/UI.h"
#include "platform/UserFolders.h"
#include "world/FieldMap.h"

#include <ostream>

MapFiles::MapFiles(FieldMap& map, Editor& editor, UI& hud, const KeyBindings& keys, const TimeSource& time,
                   std::ostream& console, const std::string& stateFolder, double autosaveSeconds,
                   DialogWindow dialogWindow)
    : map(map), editor(editor), hud(hud), bindings(keys), console(console), dialogWindow(std::move(dialogWindow)),
      unsaved(map)
{
    if (stateFolder.empty())
        return;
    recovery = std::make_unique<Recovery>(stateFolder, sf::seconds(float(autosaveSeconds)), time, console);
    offerRecovery();
}

MapFiles::~MapFiles() = default;

void MapFiles::offerRecovery()
{
    if (recovery->offeredFile().empty())
        return;
    const std::string& from = recovery->offeredMapPath();
    console << "--- Recovery: a map with changes that were not saved"
            << (from.empty() ? std::string(" (a new map)") : " (of " + from + ")") << " is kept in "
            << recovery->offeredFile() << ". Press F9 to load it, Shift+F9 to discard it." << std::endl;
    hud.showMessage("Unsaved map found: F9 loads it, Shift+F9 discards it", RecoveryMessageSeconds);
}

void MapFiles::keys(const InputState& in, const InputState& previous)
{
    if (bindings.held(in, KeyAction::Save))
        sequence(true, dialogChooser(), true);
    // Once per press of the combination, whichever key went down last.
    if (ctrlHeld(in) && bindings.held(in, KeyAction::QuickSave) &&
        !(ctrlHeld(previous) && bindings.held(previous, KeyAction::QuickSave)))
        quickSave();
    if (bindings.held(in, KeyAction::Load))
        sequence(false, dialogChooser(), true);
    recoveryKey(in);
}

void MapFiles::loadAtStart(const std::string& path)
{
    sequence(false, [path](FileDialogPurpose) { return FileChoice(path); }, false);
}

bool MapFiles::unsavedChanges() const
{
    return unsaved.any();
}

double MapFiles::autosave()
{
    return recovery ? recovery->frame(map, unsavedChanges(), mapPath) : 0;
}

bool MapFiles::autosaveWriting() const
{
    return recovery && recovery->writing();
}

bool MapFiles::quit()
{
    if (!recovery || recovery->quit(map, unsavedChanges(), mapPath))
        return true;
    hud.showMessage("Unsaved map NOT kept: F5 saves it, Escape quits without it", RecoveryMessageSeconds);
    return false;
}

void MapFiles::keepUnsavedWork()
{
    // There is no staying open: a failure is followed by the quit that gives up.
    if (recovery && !recovery->quit(map, unsavedChanges(), mapPath))
        recovery->quit(map, unsavedChanges(), mapPath);
}

bool MapFiles::unsavedWorkLost() const
{
    return recovery && recovery->lost();
}

void MapFiles::sequence(bool saving, const MapFileChooser& choose, bool dialog)
{
    if (dialog)
        dialogWindow(true);
    std::string file;
    const MapFileChooser remember = [&](FileDialogPurpose purpose) {
        FileChoice choice = choose ? choose(purpose) : FileChoice();
        if (const std::string refusal = saving && recovery ? recovery->refusesSaveAs(choice.path) : std::string();
            choice.status == FileChoice::Status::Chosen && !refusal.empty())
            choice = FileChoice::failed(refusal);
        file = choice.path;
        return choice;
    };
    MapFileResult result;
    if (saving)
        result = saveMap(map, remember);
    else
    {
        // A load is one edit: undo brings the map back as it was, origin included.
        EditScope load(editor.history(), map, EditKind::Loading);
        result = loadMap(map, remember);
        if (result.status != MapFileResult::Status::Complete)
            load.discard();
    }
    if (dialog)
        dialogWindow(false);

    const char* verb = saving ? "--- Saving " : "--- Loading ";
    switch (result.status)
    {
    case MapFileResult::Status::Complete:
        console << verb << "Complete" << std::endl;
        done(saving, file, result);
        break;
    case MapFileResult::Status::Cancelled:
        console << verb << "Cancelled" << std::endl;
        break;
    case MapFileResult::Status::Failed:
        console << verb << "Failed: " << result.reason << std::endl;
        break;
    }
}

void MapFiles::done(bool saving, const std::string& file, const MapFileResult& result)
{
    if (result.recovered)
    {
        // Recovered work was never saved: it stays unsaved until it is.
        unsaved.markNeverSaved();
        mapPath = result.recoveredFrom;
        if (recovery && file == recovery->offeredFile())
            recovery->adoptOffer(map.revision());
        return;
    }
    unsaved.markSaved();
    mapPath = file;
    if (saving && recovery)
        recovery->mapSaved();
}

MapFileChooser MapFiles::dialogChooser() const
{
    const std::string start = dialogStartPath(mapPath, homeFolder());
    return [this, start](FileDialogPurpose purpose) { return askFile(purpose, start); };
}

void MapFiles::quickSave()
{
    if (mapPath.empty())
    {
        sequence(true, dialogChooser(), true);
        return;
    }
    const std::string file = mapPath;
    sequence(true, [file](FileDialogPurpose) { return FileChoice(file); }, false);
}

void MapFiles::recoveryKey(const InputState& in)
{
    // Acts once per press: a file that fails to load is not tried every frame.
    const bool pressed = bindings.held(in, KeyAction::Recovery) && !recoveryKeyHeld;
    recoveryKeyHeld = bindings.held(in, KeyAction::Recovery);
    if (!recovery || recovery->offeredFile().empty() || !pressed)
        return;
    if (shiftHeld(in))
    {
        console << "--- Recovery file discarded: " << recovery->offeredFile() << std::endl;
        recovery->discardOffer();
        hud.showMessage("Unsaved map discarded");
        return;
    }
    const std::string file = recovery->offeredFile();
    sequence(false, [file](FileDialogPurpose) { return FileChoice(file); }, false);
    hud.showMessage(recovery->offeredFile().empty() ? "Unsaved map loaded: F5 saves it"
                                                     : "Loading the unsaved map failed: see the console");
}
