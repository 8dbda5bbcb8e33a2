#include "app/Stamps.h"

#include "mapfile/StampFile.h"
#include "platform/TextClipboard.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <new>
#include <ostream>

namespace fs = std::filesystem;

namespace
{
constexpr int MaxProposedNumber = 9999; // "Stamp 1" .. "Stamp 9999" are tried for a free name

std::string sizeText(const FieldBlock& block)
{
    return std::to_string(block.width()) + " x " + std::to_string(block.height()) + " fields";
}

// The reason of a read without the "<path>: " before it, for the HUD.
std::string withoutPath(const std::string& reason, const std::string& path)
{
    const std::string prefix = path + ": ";
    return reason.compare(0, prefix.size(), prefix) == 0 ? reason.substr(prefix.size()) : reason;
}

std::string proposedName(const std::string& folder)
{
    for (int n = 1; n <= MaxProposedNumber; ++n)
    {
        const std::string path = stampPath(folder, "Stamp " + std::to_string(n));
        std::error_code error;
        if (!fs::exists(fs::u8path(path), error) && !error)
            return path;
    }
    return (fs::u8path(folder) / "").u8string();
}
} // namespace

Stamps::Stamps(const ContentCatalog& content, std::string folder, TextClipboard& desktop, std::ostream& console,
               MapFileAsker askFile, DialogWindow dialogWindow)
    : content(content), stampFolder(std::move(folder)), desktop(desktop), console(console),
      askFile(std::move(askFile)), dialogWindow(std::move(dialogWindow))
{
}

StampOutcome Stamps::failed(const std::string& message, const std::string& detail) const
{
    console << "--- Stamp: " << detail << std::endl;
    return {StampOutcome::Status::Failed, message};
}

std::vector<std::string> Stamps::names() const
{
    return listStamps(stampFolder);
}

StampOutcome Stamps::save(const FieldBlock& block)
{
    if (block.empty())
        return {StampOutcome::Status::Failed, "Nothing to save as a stamp: copy fields first (Ctrl+C)"};
    std::string start;
    if (!stampFolder.empty())
    {
        // The folder is made with the first stamp, so the dialog opens in it.
        if (const std::string problem = createFolder(stampFolder); problem.empty())
            start = proposedName(stampFolder);
        else
            console << "--- Stamp: the stamps' folder cannot be made: " << problem << std::endl;
    }
    FileChoice choice;
    if (dialogWindow)
        dialogWindow(true);
    try
    {
        choice = askFile ? askFile(FileDialogPurpose::SaveStamp, start) : FileChoice();
    }
    catch (const std::bad_alloc&)
    {
        choice = FileChoice::failed("not enough memory to ask for a file");
    }
    catch (const std::exception& error)
    {
        choice = FileChoice::failed(std::string("the file dialog failed: ") + error.what());
    }
    if (dialogWindow)
        dialogWindow(false);
    if (choice.status == FileChoice::Status::Failed)
        return failed("Saving the stamp failed: see the console", "saving failed: " + choice.reason);
    if (choice.status == FileChoice::Status::Cancelled)
        return {StampOutcome::Status::Cancelled, {}};
    std::string path = choice.path;
    // A bare name (typed on the console's prompt) is a stamp of the folder.
    if (!stampFolder.empty() && !fs::u8path(path).has_parent_path())
        path = (fs::u8path(stampFolder) / fs::u8path(path)).u8string();
    const std::string extension(StampFileExtension);
    if (path.size() < extension.size() ||
        path.compare(path.size() - extension.size(), extension.size(), extension) != 0)
        path += extension;
    const std::string file = fs::u8path(path).filename().u8string();
    const std::string name = file.substr(0, file.size() - std::min(file.size(), extension.size()));
    if (name.empty())
        return failed("Saving the stamp failed: it needs a name", path + ": a stamp needs a name before \".stamp\"");
    if (const WriteResult written = writeStampFile(path, block); !written)
        return failed("Saving the stamp failed: see the console", "saving failed: " + written.reason);
    console << "--- Stamp saved: " << path << " (" << sizeText(block) << ")" << std::endl;
    return {StampOutcome::Status::Complete, "Stamp \"" + name + "\" saved (" + sizeText(block) + ")"};
}

StampOutcome Stamps::load(const std::string& name, FieldBlock& out) const
{
    const std::string path = stampPath(stampFolder, name);
    const ReadResult read = readStampFile(path, content, out);
    if (read.status == ReadResult::Status::Missing)
        return failed("Stamp \"" + name + "\" is gone", path + ": no such file");
    if (!read)
        return failed("Stamp \"" + name + "\" refused: " + withoutPath(read.reason, path), read.reason);
    return {StampOutcome::Status::Complete, "Stamp \"" + name + "\" (" + sizeText(out) + ")"};
}

void Stamps::putOnDesktop(const FieldBlock& block)
{
    if (block.empty())
        return;
    putText = formatStamp(block);
    desktop.setText(putText);
}

StampOutcome Stamps::takeFromDesktop(const FieldBlock& own, FieldBlock& out) const
{
    const std::string text = desktop.text();
    if (text.empty() || text == putText)
    {
        if (own.empty())
            return {StampOutcome::Status::Failed, "Nothing to paste: copy fields first (Ctrl+C)"};
        out = own;
        return {};
    }
    std::string error;
    if (!parseStamp(text, content, out, error))
    {
        return failed(looksLikeStamp(text) ? "The clipboard's stamp refused: " + error
                                           : "The clipboard holds no stamp: nothing pasted",
                      "the clipboard's text is refused: " + error);
    }
    return {};
}
