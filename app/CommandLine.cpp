#include "app/CommandLine.h"

#include "platform/SettingsFile.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>
#include <sstream>

#ifndef QUILLORA_VERSION
#error "the build defines QUILLORA_VERSION (the project's version)"
#endif

namespace
{
constexpr const char* ProgramName = "quillora";

// An option's value must not be empty: an empty name is no file.
std::string notEmpty(const std::string& value)
{
    return value.empty() ? std::string("needs a name, not an empty text") : std::string();
}

std::string formatSeconds(double seconds)
{
    std::ostringstream text;
    text << seconds;
    return text.str();
}

// Seconds: a plain decimal number, 0 or at least MinAutosaveSeconds ("60", "0.5").
std::string seconds(const std::string& value)
{
    const std::optional<double> number = plainSeconds(value);
    if (!number)
        return "SECONDS must be a number of seconds, 0 or more, not \"" + value + "\"";
    // A shorter interval would round to none at all.
    if (!honouredAutosave(*number))
        return "SECONDS must be 0 or at least " + formatSeconds(MinAutosaveSeconds) + ", not \"" + value + "\"";
    return {};
}

// The help as CLI11 writes it, but the export option's two values named as
// they are, not as "MAP OUT.png x 2".
class HelpFormatter : public CLI::Formatter
{
public:
    std::string make_option_opts(const CLI::Option* option) const override
    {
        if (option->get_expected_max() == 2)
            return " " + option->get_type_name();
        return CLI::Formatter::make_option_opts(option);
    }
};

// The parser with every option bound to `options`.
std::unique_ptr<CLI::App> makeParser(CommandLineOptions& options)
{
    auto app = std::make_unique<CLI::App>(
        "Quillora " QUILLORA_VERSION ": a top-down 2D game with a map editor inside it.", ProgramName);
    app->formatter(std::make_shared<HelpFormatter>());
    app->set_help_flag("-h,--help", "Print this help and exit");
    app->set_version_flag("--version", std::string(ProgramName) + " " + QUILLORA_VERSION,
                          "Print the version and exit");
    app->add_option("--content", options.contentDir,
                    "The content folder (Texturen/, Objekte/, Items/, ico.png). Without it: the working "
                    "directory when it holds the content, else the content installed with the game")
        ->type_name("DIR")
        ->check(notEmpty);
    app->add_option("--map", options.mapFile, "Load this map at start-up")->type_name("FILE")->check(notEmpty);
    app->add_flag("--windowed", options.windowed, "Play in a normal resizable 1080 x 720 window");
    app->add_flag("--fullscreen", options.fullscreen,
                  "Play in full screen even when the settings file says windowed");
    app->add_option("--autosave", options.autosaveSeconds,
                    "Seconds between writes of the recovery file while there are unsaved changes "
                    "(default 60; 0: only when quitting; else at least 0.01)")
        ->type_name("SECONDS")
        ->check(seconds);
    app->add_option_function<std::vector<std::string>>(
           "--export-png",
           [&options](const std::vector<std::string>& files) {
               options.exportMap = files.at(0);
               options.exportPicture = files.at(1);
           },
           "Draw the whole map file MAP into the picture OUT.png and exit")
        ->type_name("MAP OUT.png")
        ->expected(2)
        ->check(notEmpty);
    const auto tiledExport = [&options](bool json) {
        return [&options, json](const std::vector<std::string>& files) {
            options.tiledMap = files.at(0);
            options.tiledFile = files.at(1);
            options.tiledJson = json;
        };
    };
    app->add_option_function<std::vector<std::string>>(
           "--export-tmx", tiledExport(false),
           "Write the map file MAP as a map for the Tiled editor (TMX), with its tilesets beside it, and exit")
        ->type_name("MAP OUT.tmx")
        ->expected(2)
        ->check(notEmpty);
    app->add_option_function<std::vector<std::string>>(
           "--export-json", tiledExport(true),
           "Write the map file MAP as a map for the Tiled editor in its JSON form, and exit")
        ->type_name("MAP OUT.tmj")
        ->expected(2)
        ->check(notEmpty);
    app->add_option("--tiled-encoding", options.tiledEncoding,
                    "How the exported Tiled map stores its tile layers: csv (default), base64, zlib, gzip or zstd")
        ->type_name("KIND")
        ->check(CLI::IsMember({"csv", "base64", "zlib", "gzip", "zstd"}));
    app->add_option_function<std::vector<std::string>>(
           "--import-tmx",
           [&options](const std::vector<std::string>& files) {
               options.importFile = files.at(0);
               options.importMap = files.at(1);
           },
           "Read the Tiled map IN (.tmx, .tmj or .json) and write it as the map file OUT.map, and exit")
        ->type_name("IN OUT.map")
        ->expected(2)
        ->check(notEmpty);
    app->footer("Keys: the table in README.md and the manual page (man quillora).");
    return app;
}

CommandLine exitWith(int code, std::string out, std::string err)
{
    CommandLine result;
    result.action = CommandLine::Action::Exit;
    result.exitCode = code;
    result.out = std::move(out);
    result.err = std::move(err);
    return result;
}

CommandLine usageError(const std::string& what)
{
    return exitWith(CommandLineErrorExit, {}, std::string(ProgramName) + ": " + what + "\n\n" + commandLineHelp());
}
} // namespace

CommandLineOptions withSettings(CommandLineOptions options, const Settings& settings)
{
    if (!options.windowed && !options.fullscreen && settings.windowed)
        options.windowed = *settings.windowed;
    if (!options.autosaveGiven && settings.autosaveSeconds)
        options.autosaveSeconds = *settings.autosaveSeconds;
    return options;
}

std::string commandLineHelp()
{
    CommandLineOptions unused;
    return makeParser(unused)->help();
}

CommandLine readCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    try
    {
        const std::unique_ptr<CLI::App> app = makeParser(result.options);
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app->parse(reversed);
        // Each conversion starts no game, so the game's options and the other
        // conversions would be ignored: one alone.
        const std::pair<const char*, CommandLine::Action> conversions[] = {
            {"--export-png", CommandLine::Action::Export},
            {"--export-tmx", CommandLine::Action::ExportTiled},
            {"--export-json", CommandLine::Action::ExportTiled},
            {"--import-tmx", CommandLine::Action::ImportTiled}};
        const char* chosen = nullptr;
        for (const auto& [option, action] : conversions)
        {
            if (app->count(option) == 0)
                continue;
            if (chosen)
                return usageError(std::string(option) + " cannot go with " + chosen);
            chosen = option;
            result.action = action;
            for (const char* playing : {"--map", "--windowed", "--fullscreen", "--autosave"})
            {
                if (app->count(playing) > 0)
                    return usageError(std::string(option) + " cannot go with " + playing);
            }
        }
        if (app->count("--tiled-encoding") > 0 && result.action != CommandLine::Action::ExportTiled)
            return usageError("--tiled-encoding goes only with --export-tmx or --export-json");
        if (app->count("--windowed") > 0 && app->count("--fullscreen") > 0)
            return usageError("--windowed cannot go with --fullscreen");
        result.options.autosaveGiven = app->count("--autosave") > 0;
    }
    catch (const CLI::CallForHelp&)
    {
        return exitWith(0, commandLineHelp(), {});
    }
    catch (const CLI::CallForVersion& version)
    {
        return exitWith(0, std::string(version.what()) + "\n", {});
    }
    catch (const CLI::ParseError& error)
    {
        return usageError(error.what());
    }
    catch (const std::exception& error)
    {
        return usageError(error.what());
    }
    return result;
}
