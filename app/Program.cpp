#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/Game.h"
#include "app/GameFolders.h"
#include "app/MapPictureExport.h"
#include "app/Recovery.h"
#include "app/TiledCommands.h"
#include "platform/AllocatorTuning.h"
#include "platform/Console.h"
#include "platform/ConsoleWait.h"
#include "platform/Display.h"
#include "platform/ExecutablePath.h"
#include "platform/SettingsFile.h"
#include "platform/ShutdownSignals.h"
#include "platform/StandardStreams.h"
#include "platform/UserFolders.h"

#include <filesystem>
#include <ostream>
#include <system_error>

int runGame(int argc, char** argv)
{
    // Before anything opens a file: a closed standard input would otherwise
    // become the X connection, and the console prompt would read from it.
    openClosedStandardStreams();
    // First of all, so an early request to end still lets the game quit in order.
    installShutdownHandlers();

    const CommandLine command = readCommandLine(std::vector<std::string>(argv + (argc > 0), argv + argc));
    if (command.action == CommandLine::Action::Exit)
    {
        consoleOut() << command.out << std::flush;
        consoleErrors() << command.err << std::flush;
        return command.exitCode;
    }
    // The settings file fills in what the command line leaves out.
    const std::string configDir = configFolder();
    const Settings settings =
        configDir.empty() ? Settings{} : readSettingsFile(configDir + "/" + SettingsFileName);
    for (const std::string& problem : settings.problems)
        consoleErrors() << "quillora: " << problem << std::endl;
    const CommandLineOptions options = withSettings(command.options, settings);

    std::error_code error;
    const std::string workingDir = std::filesystem::current_path(error).u8string();
    const ContentLocation content =
        locateContent(options.contentDir, workingDir, installedContentDir(executablePath()));
    if (content.source == ContentSource::NotFound)
    {
        consoleErrors() << "quillora: " << content.problem << std::endl;
        return 1;
    }
    if (command.action == CommandLine::Action::Export)
        return exportMapPicture(content.folder, options.exportMap, options.exportPicture, consoleOut(),
                                consoleErrors());
    if (command.action == CommandLine::Action::ExportTiled)
        return exportTiledMap(content.folder, options.tiledMap, options.tiledFile, options.tiledJson,
                              options.tiledEncoding, consoleOut(), consoleErrors());
    if (command.action == CommandLine::Action::ImportTiled)
        return importTiledMap(content.folder, options.importFile, options.importMap, consoleOut(), consoleErrors());

    // Without a display the graphics library would abort with a core dump.
    // The check's connection stays open while the game runs, so the graphics
    // library never opens its own while the process holds none.
    DisplayCheck display = checkDisplay();
    if (!display.problem.empty())
    {
        consoleErrors() << "quillora: " << display.problem << std::endl;
        return 1;
    }
    keepFreedMemoryForReuse();
    GameOptions gameOptions;
    gameOptions.contentRoot = content.folder;
    gameOptions.fullscreen = !options.windowed;
    gameOptions.stateFolder = stateFolder();
    gameOptions.autosaveSeconds = options.autosaveSeconds;
    gameOptions.keys = settings.keys;
    gameOptions.stampsFolder = settings.stampsFolder.value_or(stampsFolder());
    gameOptions.editorZoom = settings.editorZoom.value_or(ViewZoom::Game);
    gameOptions.captureFolder = desktopPictureFolder(content.source, workingDir, homeFolder(), picturesFolder());
    if (gameOptions.stateFolder.empty())
        reportNoStateFolder(consoleOut());
    Game game(gameOptions);
    // A logout ends the X server under the game: the map in memory is kept first.
    onDisplayLost([&game] { game.keepUnsavedWork(); },
                  "quillora: the connection to the X display was lost (the X server ended)");
    if (!options.mapFile.empty())
        game.loadMapAtStart(options.mapFile);
    while (game.isOpen())
    {
        if (shutdownRequested())
            game.requestClose();
        game.frame();
    }
    // From here on the game is being taken apart: nothing is kept any more.
    onDisplayLost({}, "quillora: the connection to the X display was lost");
    shutdownFinished();
    // Asked to end by the system, the game does not wait: the terminal may be gone.
    if (!shutdownRequested())
        waitForKeyOnConsole();
    // Unsaved work that no file holds is a failure, however the game ended.
    return game.unsavedWorkLost() ? 1 : 0;
}
