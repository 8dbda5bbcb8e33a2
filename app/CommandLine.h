#pragma once

#include <string>
#include <vector>

// What the command line asks for.
struct CommandLineOptions
{
    std::string contentDir;         // --content: the content folder; empty: look for it
    std::string mapFile;            // --map: loaded at start-up as the load key does; empty: a new map
    bool windowed = false;          // --windowed: a normal resizable window instead of full screen
    bool fullscreen = false;        // --fullscreen: full screen whatever the settings file says
    double autosaveSeconds = 60;    // --autosave: seconds between recovery writes; 0: only at quitting
    bool autosaveGiven = false;     // --autosave was on the command line
    std::string exportMap;          // --export-png MAP OUT.png: the map file to draw ...
    std::string exportPicture;      // ... and the picture to write; both set or both empty
    std::string tiledMap;           // --export-tmx / --export-json MAP OUT: the map file to export ...
    std::string tiledFile;          // ... and the Tiled map to write
    bool tiledJson = false;         // --export-json: Tiled's JSON form; else its XML form (TMX)
    std::string tiledEncoding = "csv"; // --tiled-encoding: csv, base64, zlib, gzip or zstd
    std::string importFile;         // --import-tmx IN OUT.map: the Tiled map to read ...
    std::string importMap;          // ... and the map file to write
};

// The outcome of reading the command line.
struct CommandLine
{
    enum class Action
    {
        Play,   // start the game with `options`
        Export, // draw options.exportMap into options.exportPicture and exit
        ExportTiled, // write options.tiledMap as the Tiled map options.tiledFile and exit
        ImportTiled, // write the Tiled map options.importFile as the map file options.importMap and exit
        Exit,   // print `out` on standard output and `err` on standard error, exit with `exitCode`
    };
    Action action = Action::Play;
    CommandLineOptions options;
    int exitCode = 0;
    std::string out;
    std::string err;
};

// Exit code of a command line that cannot be used (an unknown option, a
// missing or bad value).
constexpr int CommandLineErrorExit = 2;

// Reads the arguments after the program name. --help gives the usage, the
// options and where the keys are described on `out` (exit 0); --version the
// version (exit 0). An unknown option, a missing value, a value that is not
// what the option takes, or a stray argument gives "quillora: <what is
// wrong>" and the usage on `err` (exit CommandLineErrorExit). Never throws.
CommandLine readCommandLine(const std::vector<std::string>& arguments);

struct Settings;

// The options with what the settings file says where the command line said
// nothing: windowed unless --windowed or --fullscreen was given, the autosave
// interval unless --autosave was.
CommandLineOptions withSettings(CommandLineOptions options, const Settings& settings);

// The usage and the options, as --help prints them.
std::string commandLineHelp();
