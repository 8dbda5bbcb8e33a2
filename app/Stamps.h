#pragma once

#include "app/MapFiles.h"
#include "platform/FileDialog.h"

#include <iosfwd>
#include <string>
#include <vector>

class ContentCatalog;
class FieldBlock;
class TextClipboard;

// How a stamp action ended, and the line the HUD shows for it.
struct StampOutcome
{
    enum class Status
    {
        Complete,  // done; `message` may be empty
        Cancelled, // the player chose no name; nothing happened, nothing to show
        Failed,    // nothing changed; `message` says why
    };
    Status status = Status::Complete;
    std::string message;
};

// The stamps (mapfile/StampFile.h) and the desktop's clipboard: saving the
// editor's clipboard as a named stamp, listing the stamps for the content
// picker, loading one back, and the clipboard's text copy on the desktop,
// which another game pastes. Failures and saves also go to the console as
// "--- Stamp ..." lines that name the file.
class Stamps
{
public:
    // `content`, `desktop` and `console` must outlive this. `folder`: where
    // the stamps are (platform/UserFolders' stampsFolder, or the settings
    // file's); empty: none are listed, and saving asks without a start.
    // `askFile` asks for the name, `dialogWindow` is told around it.
    Stamps(const ContentCatalog& content, std::string folder, TextClipboard& desktop, std::ostream& console,
           MapFileAsker askFile = askForMapFile, DialogWindow dialogWindow = {});

    const std::string& folder() const { return stampFolder; }
    // Replaces the file dialog (tests), as MapFiles::setFileAsker.
    void setFileAsker(MapFileAsker asker) { askFile = std::move(asker); }

    // The stamps' names in the folder as it is now (another game may have
    // saved some), in the picker's order; see listStamps.
    std::vector<std::string> names() const;

    // Asks for a name (the file dialog, "Save stamp", opening the folder,
    // made if missing, with the first free "Stamp N.stamp" proposed) and
    // saves `block` there, ".stamp" added to a name without it; a bare name
    // without a folder goes into the stamps folder. Failed
    // without asking for an empty block.
    StampOutcome save(const FieldBlock& block);

    // The stamp `name` of the folder into `out`; Failed, with `out` as it
    // was, for a missing or damaged stamp or one whose ground type or object
    // the content lacks (the message says which, and on which line).
    StampOutcome load(const std::string& name, FieldBlock& out) const;

    // Puts `block` on the desktop's clipboard as the text of its stamp file
    // (nothing for an empty block).
    void putOnDesktop(const FieldBlock& block);

    // What pasting takes, into `out`: the stamp the desktop's clipboard
    // holds; `own` (the editor's clipboard) when the desktop's holds no text
    // or still what putOnDesktop put there (`own` may have been flipped or
    // turned since). Failed, with `out` as it was, when the text is not a
    // stamp, is refused as a stamp file would be, or there is nothing at all.
    StampOutcome takeFromDesktop(const FieldBlock& own, FieldBlock& out) const;

private:
    StampOutcome failed(const std::string& message, const std::string& detail) const;

    const ContentCatalog& content;
    std::string stampFolder;
    TextClipboard& desktop;
    std::ostream& console;
    MapFileAsker askFile;
    DialogWindow dialogWindow;
    std::string putText; // what putOnDesktop put on the desktop last
};
