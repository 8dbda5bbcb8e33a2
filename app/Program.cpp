#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/Game.h"
#include "app/GameFolders.h"
#include "app/MapPictureExport.h"
#include "platform/AllocatorTuning.h"
#include "platform/ConsoleWait.h"
#include "platform/Display.h"
#include "platform/ExecutablePath.h"
#include "platform/SettingsFile.h"
#include "platform/ShutdownSignals.h"
#include "platform/UserFolders.h"

#include <filesystem>
#include <iostream>
#include <system_error>

int runGame(int argc, char** argv)
{
    // First of all, so an early request to end still lets the game quit in order.
    installShutdownHandlers();

    const CommandLine command = readCommandLine(std::vector<std::string>(argv + (argc > 0), argv + argc));
    if (command.action == CommandLine::Action::Exit)
    {
        std::cout << command.out << std::flush;
        std::cerr << command.err << std::flush;
        return command.exitCode;
    }
    // The settings file fills in what the command line leaves out.
    const std::string configDir = configFolder();
    const Settings settings =
        configDir.empty() ? Settings{} : readSettingsFile(configDir + "/" + SettingsFileName);
    for (const std::string& problem : settings.problems)
        std::cerr << "quillora: " << problem << std::endl;
    const CommandLineOptions options = withSettings(command.options, settings);

    std::error_code error;
    const std::string workingDir = std::filesystem::current_path(error).u8string();
    const ContentLocation content =
        locateContent(options.contentDir, workingDir, installedContentDir(executablePath()));
    if (content.source == ContentSource::NotFound)
    {
        std::cerr << "quillora: " << content.problem << std::endl;
        return 1;
    }
    if (command.action == CommandLine::Action::Export)
        return exportMapPicture(content.folder, options.exportMap, options.exportPicture, std::cout, std::cerr);

    // Without a display the graphics library would abort with a core dump.
    if (const std::string problem = checkDisplay(); !problem.empty())
    {
        std::cerr << "quillora: " << problem << std::endl;
        return 1;
    }
    keepFreedMemoryForReuse();
    GameOptions gameOptions;
    gameOptions.contentRoot = content.folder;
    gameOptions.fullscreen = !options.windowed;
    gameOptions.stateFolder = stateFolder();
    gameOptions.autosaveSeconds = options.autosaveSeconds;
    gameOptions.keys = settings.keys;
    gameOptions.captureFolder = desktopPictureFolder(content.source, workingDir, homeFolder(), picturesFolder());
    Game game(gameOptions);
    if (!options.mapFile.empty())
        game.loadMapAtStart(options.mapFile);
    while (game.isOpen())
    {
        if (shutdownRequested())
            game.requestClose();
        game.frame();
    }
    shutdownFinished();
    // Asked to end by the system, the game does not wait: the terminal may be gone.
    if (!shutdownRequested())
        waitForKeyOnConsole();
    return 0;
}
