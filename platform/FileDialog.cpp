#include "platform/FileDialog.h"

#include "platform/ProcessRunner.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <istream>
#include <ostream>

#ifdef _WIN32
#include "platform/WindowsApi.h"
#include <commdlg.h>
#endif

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
// zenity's status when it rejects an option it does not know.
constexpr int ZenityUnknownOptionStatus = 255;
// What zenity and kdialog exit with when the user cancels.
constexpr int DialogCancelStatus = 1;

bool readLine(std::istream& in, std::string& line)
{
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

#ifdef _WIN32
std::string toUtf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.pop_back(); // the terminating zero
    return result;
}

FileChoice showCommonDialog(FileDialogPurpose purpose, const std::string& start)
{
    // Long paths are allowed by the explorer-style dialog; a buffer that is too
    // small makes it fail, which is reported as a failure.
    std::vector<wchar_t> name(32768, L'\0');
    const wchar_t filter[] = L"All Files (*.*)\0*.*\0";
    const std::wstring title = std::filesystem::u8path(dialogTitle(purpose)).wstring();
    // The proposed name in the name field, its folder as the first one shown.
    const std::filesystem::path startPath = std::filesystem::u8path(start);
    const std::wstring startName = startPath.filename().wstring();
    const std::wstring startFolder = startPath.parent_path().wstring();
    if (startName.size() < name.size())
        std::copy(startName.begin(), startName.end(), name.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    dialog.lpstrDefExt = L"";
    // OFN_NOCHANGEDIR: screenshots go to the working directory, which the
    // dialog would otherwise move to the folder the user browsed to.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    BOOL chosen = FALSE;
    if (savingPurpose(purpose))
    {
        dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        chosen = GetSaveFileNameW(&dialog);
    }
    else
    {
        dialog.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&dialog);
    }
    if (chosen)
        return toUtf8(name.data());
    // Zero: the user cancelled; anything else: the dialog itself failed.
    if (const DWORD error = CommDlgExtendedError())
        return FileChoice::failed("the file dialog failed (error " + std::to_string(error) + ")");
    return {};
}
#else
// Whether a prompt on the console can be answered: standard input is a
// terminal, or a pipe, file or socket that someone feeds. /dev/null (what a
// desktop launch gives) or a closed standard input can only say "nothing".
bool consoleCanAnswer()
{
    struct stat info;
    if (::fstat(STDIN_FILENO, &info) != 0)
        return false;
    return ::isatty(STDIN_FILENO) || S_ISFIFO(info.st_mode) || S_ISREG(info.st_mode) || S_ISSOCK(info.st_mode);
}
#endif
} // namespace

const char* dialogTitle(FileDialogPurpose purpose)
{
    switch (purpose)
    {
    case FileDialogPurpose::Save: return "Save map";
    case FileDialogPurpose::Load: return "Load map";
    case FileDialogPurpose::SaveStamp: return "Save stamp";
    }
    return "";
}

DialogChoice chooseDialogProgram(const std::string& searchPath, bool hasDisplay)
{
    DialogChoice choice;
    if (!hasDisplay)
        return choice;
    if (std::string zenity = findProgram("zenity", searchPath); !zenity.empty())
        return {DialogProgram::Zenity, zenity};
    if (std::string kdialog = findProgram("kdialog", searchPath); !kdialog.empty())
        return {DialogProgram::KDialog, kdialog};
    return choice;
}

DialogChoice chooseDialogProgramFromEnvironment()
{
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    const char* path = std::getenv("PATH");
    return chooseDialogProgram(path ? path : "", isSet("DISPLAY") || isSet("WAYLAND_DISPLAY"));
}

std::string dialogStartPath(const std::string& mapFile, const std::string& home)
{
    if (!mapFile.empty())
    {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(mapFile), error);
        return error ? mapFile : absolute.lexically_normal().u8string();
    }
    if (home.empty())
        return {};
    return (std::filesystem::u8path(home) / "").u8string();
}

std::vector<std::string> dialogArguments(DialogProgram program, FileDialogPurpose purpose, bool confirmOverwrite,
                                         const std::string& start)
{
    const bool saving = savingPurpose(purpose);
    switch (program)
    {
    case DialogProgram::Zenity:
    {
        std::vector<std::string> arguments{"--file-selection", "--title", dialogTitle(purpose)};
        if (saving)
        {
            arguments.push_back("--save");
            if (confirmOverwrite)
                arguments.push_back("--confirm-overwrite");
        }
        if (!start.empty())
            arguments.push_back("--filename=" + start);
        return arguments;
    }
    case DialogProgram::KDialog:
    {
        std::vector<std::string> arguments{"--title", dialogTitle(purpose),
                                           saving ? "--getsavefilename" : "--getopenfilename"};
        if (!start.empty())
            arguments.push_back(start);
        return arguments;
    }
    case DialogProgram::Console:
        break;
    }
    return {};
}

FileChoice runDialogProgram(const DialogChoice& choice, FileDialogPurpose purpose, bool* started,
                            const std::string& start)
{
    ProgramRun run =
        runProgram(choice.path, dialogArguments(choice.program, purpose, true, start), MaxDialogAnswerBytes);
    // Newer zenity versions confirm by themselves and refuse the old option.
    if (run.started && run.exitStatus == ZenityUnknownOptionStatus && choice.program == DialogProgram::Zenity &&
        savingPurpose(purpose))
        run = runProgram(choice.path, dialogArguments(choice.program, purpose, false, start), MaxDialogAnswerBytes);
    if (started)
        *started = run.started;
    if (!run.started)
        return FileChoice::failed("the file dialog " + choice.path + " could not be started");
    if (run.outputCut)
        return FileChoice::failed("the file dialog " + choice.path + " printed more than " +
                                  std::to_string(MaxDialogAnswerBytes) + " bytes, which is no file name");
    if (run.exitStatus == DialogCancelStatus)
        return {};
    if (run.exitStatus < 0)
        return FileChoice::failed("the file dialog " + choice.path + " was killed");
    if (run.exitStatus != 0)
        return FileChoice::failed("the file dialog " + choice.path + " failed (exit status " +
                                  std::to_string(run.exitStatus) + ")");
    std::string path = std::move(run.output);
    if (!path.empty() && path.back() == '\n')
        path.pop_back();
    return path;
}

std::string askOnConsole(FileDialogPurpose purpose, std::istream& in, std::ostream& out)
{
    const bool saving = savingPurpose(purpose);
    out << dialogTitle(purpose) << (saving ? " to" : " from") << " (empty line cancels): " << std::flush;
    std::string path;
    if (!readLine(in, path) || path.empty())
        return {};
    std::error_code error;
    if (saving && std::filesystem::exists(std::filesystem::u8path(path), error))
    {
        out << path << " exists. Replace it? (y/n): " << std::flush;
        std::string answer;
        if (!readLine(in, answer) || answer.empty() || (answer[0] != 'y' && answer[0] != 'Y'))
            return {};
    }
    return path;
}

FileChoice chooseMapFile(FileDialogPurpose purpose)
{
    return askForMapFile(purpose, {});
}

FileChoice askForMapFile(FileDialogPurpose purpose, const std::string& start)
{
#ifdef _WIN32
    return showCommonDialog(purpose, start);
#else
    const DialogChoice choice = chooseDialogProgramFromEnvironment();
    if (choice.program != DialogProgram::Console)
    {
        bool started = false;
        FileChoice chosen = runDialogProgram(choice, purpose, &started, start);
        if (started)
            return chosen;
        // A program that would not start at all: the console may still work.
    }
    if (!consoleCanAnswer())
        return FileChoice::failed("no file dialog is available: install zenity or kdialog");
    return askOnConsole(purpose, std::cin, std::cout);
#endif
}
