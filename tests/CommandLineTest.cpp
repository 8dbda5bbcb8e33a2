#include "app/CommandLine.h"
#include "platform/SettingsFile.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

TEST(CommandLine, ReadsEveryOption)
{
    const CommandLine none = readCommandLine({});
    EXPECT_EQ(none.action, CommandLine::Action::Play);
    EXPECT_EQ(none.options.autosaveSeconds, 60);
    EXPECT_FALSE(none.options.windowed);

    const CommandLine all =
        readCommandLine({"--content", "/c", "--map=a b.map", "--windowed", "--autosave", "0.25"});
    ASSERT_EQ(all.action, CommandLine::Action::Play) << all.err;
    EXPECT_EQ(all.options.contentDir, "/c");
    EXPECT_EQ(all.options.mapFile, "a b.map");
    EXPECT_TRUE(all.options.windowed);
    EXPECT_EQ(all.options.autosaveSeconds, 0.25);
    EXPECT_EQ(readCommandLine({"--autosave", "0"}).options.autosaveSeconds, 0);
    EXPECT_EQ(readCommandLine({"--autosave", "0.01"}).options.autosaveSeconds, MinAutosaveSeconds);

    const CommandLine exporting = readCommandLine({"--export-png", "m.map", "out.png", "--content", "c"});
    ASSERT_EQ(exporting.action, CommandLine::Action::Export) << exporting.err;
    EXPECT_EQ(exporting.options.exportMap, "m.map");
    EXPECT_EQ(exporting.options.exportPicture, "out.png");

    const CommandLine tiled = readCommandLine({"--export-json", "m.map", "o.tmj", "--tiled-encoding", "zstd"});
    ASSERT_EQ(tiled.action, CommandLine::Action::ExportTiled) << tiled.err;
    EXPECT_EQ(std::tie(tiled.options.tiledMap, tiled.options.tiledFile, tiled.options.tiledEncoding),
              std::tie("m.map", "o.tmj", "zstd"));
    EXPECT_TRUE(tiled.options.tiledJson);
    EXPECT_FALSE(readCommandLine({"--export-tmx", "m.map", "o.tmx"}).options.tiledJson);
    const CommandLine import = readCommandLine({"--import-tmx", "in.tmx", "out.map"});
    ASSERT_EQ(import.action, CommandLine::Action::ImportTiled) << import.err;
    EXPECT_EQ(std::tie(import.options.importFile, import.options.importMap), std::tie("in.tmx", "out.map"));
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput)
{
    const CommandLine help = readCommandLine({"--help"});
    EXPECT_EQ(help.action, CommandLine::Action::Exit);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.err.empty());
    for (const char* word : {"Usage: quillora", "--content DIR", "--map FILE", "--windowed", "--autosave SECONDS",
                             "--export-png MAP OUT.png", "--export-tmx MAP OUT.tmx", "--import-tmx IN OUT.map", "README", "man quillora"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;

    const CommandLine version = readCommandLine({"--map", "x", "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quillora " QUILLORA_VERSION "\n");
}

TEST(CommandLine, RefusesWhatItCannotUseWithTheUsageOnStandardError)
{
    const struct
    {
        Args arguments;
        const char* says;
    } cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"stray"}, "stray"},
        {{"--map"}, "--map"},
        {{"--content"}, "--content"},
        {{"--map", ""}, "--map"},
        {{"--map", "a", "--map", "b"}, "--map"},
        {{"--autosave"}, "--autosave"},
        {{"--autosave", "-1"}, "--autosave"},
        {{"--autosave", "soon"}, "soon"},
        {{"--autosave", "nan"}, "nan"},
        {{"--autosave", "0.0099"}, "at least 0.01"},
        {{"--export-png", "only.map"}, "--export-png"},
        {{"--export-png", "m", "o.png", "--windowed"}, "--windowed"},
        {{"--import-tmx", "m.tmx", "o.map", "--map", "m"}, "--map"},
        {{"--export-tmx", "m", "o.tmx", "--export-png", "m", "o.png"}, "--export-tmx cannot go with --export-png"},
        {{"--export-tmx", "m", "o.tmx", "--tiled-encoding", "lz4"}, "lz4"},
        {{"--import-tmx", "m.tmx", "o.map", "--tiled-encoding", "csv"}, "--tiled-encoding goes only with"},
    };
    for (const auto& c : cases)
    {
        const CommandLine result = readCommandLine(c.arguments);
        const std::string row = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(result.action, CommandLine::Action::Exit) << row;
        EXPECT_EQ(result.exitCode, CommandLineErrorExit) << row;
        EXPECT_TRUE(result.out.empty()) << row;
        EXPECT_EQ(result.err.rfind("quillora: ", 0), 0u) << row << result.err;
        const std::string firstLine = result.err.substr(0, result.err.find('\n'));
        EXPECT_NE(firstLine.find(c.says), std::string::npos) << row << firstLine;
        EXPECT_NE(result.err.find("Usage: quillora"), std::string::npos) << row;
    }
}
