// Maps for the Tiled editor: exported, drawn and converted by Tiled's own
// tools, and read back; what the reader refuses.

#include "WorldFixture.h"
#include "WriteOutcome.h"

#include "app/TiledCommands.h"
#include "content/ContentPictures.h"
#include "content/ImageFile.h"
#include "mapfile/MapFile.h"
#include "mapfile/TiledMap.h"
#include "mapfile/TiledReader.h"
#include "platform/ProcessRunner.h"
#include "world/MapPicture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace
{
const std::string Assets = QUILLORA_ASSETS_DIR;

// A map of the bundled content with every type on both layers, objects on
// half the fields, a quarter solid, and an origin off the corner.
StoredMap busyMap(unsigned seed)
{
    std::cout << "busy map seed " << seed << std::endl;
    TestRandom next(seed);
    StoredMap map;
    map.fields.resize(FieldCount);
    for (FieldValues& field : map.fields)
        field = {int(next(9)), int(next(9)), next(2) == 0 ? int(next(6)) : 0, next(4) == 0};
    map.originX = -1184;
    map.originY = 352;
    return map;
}

// Tiled's tool `name`, or an empty string when it is not installed.
std::string tiledTool(const char* name)
{
    const char* path = std::getenv("PATH");
    return findProgram(name, path ? path : "");
}

// Runs a tool of Tiled's without a display; true when it exits with 0.
bool runTiled(const std::string& tool, const std::vector<std::string>& arguments)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const ProgramRun run = runProgram(tool, arguments, 1 << 20);
    return run.started && run.exitStatus == 0;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    if (at == std::string::npos)
        throw std::runtime_error("no \"" + from + "\" to replace");
    return text.replace(at, from.size(), to);
}

class TiledTools : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (tiledTool("tiled").empty() || tiledTool("tmxrasterizer").empty())
            GTEST_SKIP() << "Tiled's tools (Debian's tiled package) are not installed";
    }
    static void SetUpTestSuite() { content = std::make_unique<ContentPictures>(Assets); }
    static void TearDownTestSuite() { content.reset(); }

    // The sample world and a busy map, with their map file texts.
    std::vector<std::pair<std::string, StoredMap>> maps() const
    {
        StoredMap sample;
        const MapFileResult read = readMap(Assets + "/maps/sample-world.map", *content, sample);
        EXPECT_EQ(read.status, MapFileResult::Status::Complete) << read.reason;
        return {{"sample", sample}, {"busy", busyMap(20261207)}};
    }

    inline static std::unique_ptr<ContentPictures> content;
    TempDir files;
};

class TiledImport : public WorldFixture
{
protected:
    // The test content's uniform map with a few values, exported in `form`.
    std::string exportSmall(const std::string& name, TiledEncoding encoding = TiledEncoding::Csv)
    {
        StoredMap stored;
        stored.fields.assign(FieldCount, FieldValues());
        stored.fields[FieldMap::index(3, 4)] = {6, 2, 2, true};
        stored.fields[FieldMap::index(199, 199)] = {1, 0, 1, false};
        stored.originX = -32;
        const ContentPictures pictures(dir->path());
        const std::string path = files.file(name);
        TiledForm form = TiledForm::Xml;
        isTiledMapPath(path, &form);
        EXPECT_EQ(writeOutcome(writeTiledMap(stored, pictures, path, form, encoding)), "");
        expected = formatMap(stored);
        return readFile(path);
    }
    // Reads `text` as the Tiled map `name` beside the exported tilesets.
    bool read(const std::string& name, const std::string& text, StoredMap& stored, std::string& error)
    {
        files.write(name, text);
        return readTiledMap(files.file(name), *data, stored, error);
    }

    TempDir files;
    std::string expected;
};
} // namespace

TEST_F(TiledTools, TheRendererDrawsTheExportAsTheMapPicture)
{
    for (const auto& [name, map] : maps())
    {
        const std::string tmx = files.file(name + ".tmx"), png = files.file(name + ".png");
        ASSERT_EQ(writeOutcome(writeTiledMap(map, *content, tmx, TiledForm::Xml, TiledEncoding::Csv)), "");
        ASSERT_TRUE(runTiled(tiledTool("tmxrasterizer"), {"--no-smoothing", tmx, png})) << name;
        sf::Image drawn;
        ASSERT_TRUE(loadPngImage(png, drawn)) << name;
        ASSERT_EQ(drawn.getSize(), sf::Vector2u(MapPictureSide, MapPictureSide)) << name;
        const std::vector<std::uint8_t> ours = composeMapPicture(map.fields, *content);
        const std::uint8_t* theirs = drawn.getPixelsPtr();
        std::size_t differing = 0, translucent = 0;
        for (std::size_t i = 0; i < ours.size(); i += 4)
        {
            differing += std::memcmp(&ours[i], theirs + i, 4) != 0;
            translucent += ours[i + 3] != 255;
        }
        EXPECT_EQ(differing, 0u) << name;
        EXPECT_EQ(translucent, 0u) << name << ": every field has an opaque under layer";
    }
}

// Tiled reads each export and writes it again with its own writer, as JSON
// and as TMX, with the tilesets beside it or embedded: every file reads back
// as the map file it came from, byte for byte.
TEST_F(TiledTools, MapsWrittenByTiledReadBackByteForByte)
{
    const std::string tiled = tiledTool("tiled");
    const struct
    {
        const char* map;
        TiledEncoding encoding;
        const char* option;
    } rows[] = {
        {"sample", TiledEncoding::Csv, "csv"},         {"sample", TiledEncoding::Base64, "base64"},
        {"sample", TiledEncoding::Base64Zlib, "zlib"}, {"sample", TiledEncoding::Base64Gzip, "gzip"},
        {"sample", TiledEncoding::Base64Zstd, "zstd"}, {"busy", TiledEncoding::Csv, "csv"},
        {"busy", TiledEncoding::Base64Zlib, "zlib"},
    };
    const auto all = maps();
    for (const auto& row : rows)
    {
        const StoredMap& map = row.map == std::string("sample") ? all[0].second : all[1].second;
        const std::string original = formatMap(map);
        for (const char* extension : {".tmx", ".tmj"})
        {
            const std::string base = files.file(std::string(row.map) + "-" + row.option);
            const std::string exported = base + extension;
            ASSERT_EQ(writeOutcome(writeTiledMap(map, *content, exported,
                                    extension == std::string(".tmx") ? TiledForm::Xml : TiledForm::Json,
                                    row.encoding)),
                      "");
            std::vector<std::string> converted = {exported};
            for (const char* format : {"json", "tmx"})
                for (bool embed : {false, true})
                {
                    const std::string out = base + extension + (embed ? ".embedded." : ".") + format;
                    std::vector<std::string> arguments = {"--export-map"};
                    if (embed)
                        arguments.push_back("--embed-tilesets");
                    arguments.insert(arguments.end(), {format, exported, out});
                    // The busy map converts only one way, to save time.
                    if (row.map == std::string("busy") && embed == (format == std::string("json")))
                        continue;
                    ASSERT_TRUE(runTiled(tiled, arguments)) << out;
                    converted.push_back(out);
                }
            for (const std::string& file : converted)
            {
                StoredMap back;
                std::string error;
                ASSERT_TRUE(readTiledMap(file, *content, back, error)) << error;
                EXPECT_TRUE(formatMap(back) == original) << file;
            }
        }
    }
}

TEST_F(TiledImport, TilesDrawnWithAnyPieceInGroupsAndAnyOrderReadAsTheirGroundTypes)
{
    const std::string text = exportSmall("m.tmx");
    // Field (3, 4)'s ground is type 6 alone among type 5: painted with
    // another piece of type 6, flipped, it stays type 6.
    std::string painted = text;
    const std::size_t ground = painted.find("name=\"ground\"");
    const std::size_t field = painted.find(",102,", ground); // type 6's isolated piece, tile 6 * 16 + 5
    ASSERT_NE(field, std::string::npos);
    painted.replace(field, 5, "," + std::to_string(0x80000000u + 1 + 96 + 9) + ",");
    // The layers in a group, the object layer first.
    const std::size_t objects = painted.find(" <objectgroup");
    const std::size_t objectsEnd = painted.find("</objectgroup>") + 15;
    const std::string objectLayer = painted.substr(objects, objectsEnd - objects);
    painted.erase(objects, objectsEnd - objects);
    painted = replaced(painted, " <layer id=\"1\"", " <group id=\"9\" name=\"all\">\n" + objectLayer + " <layer id=\"1\"");
    painted = replaced(painted, "</map>", "</group>\n</map>");
    // The tree dragged half a field right, off the grid: its carrying corner
    // is still over field (3, 4).
    painted = replaced(painted, "x=\"32\" y=\"80\"", "x=\"40\" y=\"80\"");
    StoredMap stored;
    std::string error;
    ASSERT_TRUE(read("painted.tmx", painted, stored, error)) << error;
    EXPECT_TRUE(formatMap(stored) == expected);

    // Loaded like a map file: the map takes it.
    ASSERT_EQ(loadMap(map, [&](FileDialogPurpose) { return files.file("painted.tmx"); }).status,
              MapFileResult::Status::Complete);
    EXPECT_EQ(map.at(3, 4).values(), (FieldValues{6, 2, 2, true}));
    EXPECT_EQ(map.origin(), sf::Vector2f(-32, 0));
}

TEST_F(TiledImport, RefusesWhatIsNotSuchAMapSayingWhereAndLeavesTheMapAlone)
{
    const std::string tmx = exportSmall("r.tmx");
    const std::string tmj = exportSmall("r.tmj", TiledEncoding::Base64Zlib);
    const std::string objectTile = "<property name=\"object\" type=\"int\" value=\"2\"";
    std::string deep;
    for (int depth = 0; depth <= MaxTiledGroupDepth; ++depth)
        deep = "<group>" + deep + "</group>";
    const struct
    {
        const char* file;
        std::string text;
        const char* says;
    } rows[] = {
        {"a.tmx", tmx.substr(0, 300), "line 5: not XML"},
        {"b.tmx", replaced(tmx, "orthogonal", "isometric"), "line 2: the map is isometric, not orthogonal"},
        {"c.tmx", replaced(tmx, "width=\"200\"", "width=\"199\""), "199 x 200 tiles, not 200 x 200"},
        {"d.tmx", replaced(tmx, "tilewidth=\"16\"", "tilewidth=\"32\""), "tiles are 32 x 16 pixels"},
        {"e.tmx", replaced(tmx, "encoding=\"csv\">\n81,", "encoding=\"csv\">\n0,"),
         "line 10: the field at column 0, row 0 has no tile"},
        {"f.tmx", replaced(tmx, "gid=\"131\"", "gid=\"" + std::to_string(0x40000000u + 131) + "\""),
         "the object is flipped"},
        {"g.tmx", replaced(tmx, "gid=\"131\"", "gid=\"999\""), "tile 999 (of the tileset \"r-solid.tsx\") has no \"object\" property"},
        {"h.tmx", replaced(tmx, "<map ", "<map infinite=\"1\" "), "infinite"},
        {"o.tmx", replaced(tmx, "x=\"3184\"", "x=\"3200\""), "object 1 stands off the map"},
        {"p.tmx", replaced(tmx, "x=\"32\" y=\"80\"", "x=\"3168\" y=\"3200\""),
         "object 1 stands on the field at column 199, row 199, which has object 2 already"},
        {"s.tmx", replaced(tmx, "</map>", deep + "</map>"), "groups nested more than 100 deep"},
        {"q.tmx", replaced(tmx, "name=\"under\"", "name=\"below\""), "the map has no tile layer named \"under\""},
        {"i.tmj", tmj.substr(0, 100), "not JSON: line"},
        {"j.tmj", replaced(tmj, "\"data\": \"", "\"data\": \"AAAA"),
         "at /layers/0/data: the layer's zlib data is damaged"},
        {"k.tmj", replaced(tmj, "\"value\": -32", "\"value\": 1000000"), "originX is 1000000"},
        {"l.tmj", replaced(tmj, "\"r-ground.tsj\"", "\"none.tsj\""),
         "at /tilesets/0: the tileset none.tsj cannot be read: there is no such file"},
    };
    // Tilesets naming a ground type or an object the content lacks.
    files.write("bad-ground.tsx", replaced(readFile(files.file("r-ground.tsx")),
                                           "name=\"ground\" type=\"int\" value=\"5\"", "name=\"ground\" type=\"int\" value=\"50\""));
    files.write("bad-objects.tsx", replaced(readFile(files.file("r-objects.tsx")), objectTile,
                                            "<property name=\"object\" type=\"int\" value=\"7\""));
    const struct
    {
        const char* file;
        std::string text;
        const char* says;
    } tilesets[] = {
        {"m.tmx", replaced(tmx, "r-ground.tsx", "bad-ground.tsx"), "is of ground type 50, which has no field texture"},
        {"n.tmx", replaced(tmx, "r-objects.tsx", "bad-objects.tsx"), "object 7 has no definition"},
    };
    const std::string before = formatMap(map);
    const auto check = [&](const char* file, const std::string& text, const char* says) {
        files.write(file, text);
        const MapFileResult result = loadMap(map, [&](FileDialogPurpose) { return files.file(file); });
        EXPECT_EQ(result.status, MapFileResult::Status::Failed) << file;
        EXPECT_EQ(result.reason.rfind(files.file(file) + ": ", 0), 0u) << result.reason;
        EXPECT_NE(result.reason.find(says), std::string::npos) << result.reason;
    };
    for (const auto& row : rows)
        check(row.file, row.text, row.says);
    for (const auto& row : tilesets)
        check(row.file, row.text, row.says);
    EXPECT_TRUE(formatMap(map) == before);

    // A file over the limit is refused before it is parsed.
    std::filesystem::resize_file(files.file("r.tmx"), MaxTiledFileBytes + 1);
    check("r.tmx", readFile(files.file("r.tmx")), ("larger than " + describeBytes(MaxTiledFileBytes)).c_str());
}

TEST(TiledLayerData, ReadsExactlyTheLayersTilesOrSaysWhy)
{
    const struct
    {
        std::string text;
        TiledEncoding encoding;
        const char* says; // empty: read as 1, 2, 3
    } rows[] = {
        {"1,2,3", TiledEncoding::Csv, ""},
        {"\n 1,2,\r\n3,\n", TiledEncoding::Csv, ""},
        {"1,2", TiledEncoding::Csv, "holds 2 tiles, not 3"},
        {"1,2,3,4", TiledEncoding::Csv, "more than 3 tiles"},
        {"1,,3", TiledEncoding::Csv, "tile 2 is not a tile number"},
        {"1 2,3", TiledEncoding::Csv, "tile 1 is not followed by a comma"},
        {"1,2,-3", TiledEncoding::Csv, "tile 3 is not a tile number"},
        {"AQAAAAIAAAADAAAA", TiledEncoding::Base64, ""},
        {" AQAAAAIA\n AAADAAAA ", TiledEncoding::Base64, ""},
        {"AQAAAAIAAAADAAA", TiledEncoding::Base64, "holds 11 bytes"},
        {"AQAAAAIAAAADAAAAA", TiledEncoding::Base64, "not base64"},
        {"AQAAAAIAAAADAAAAAA==", TiledEncoding::Base64, "holds 13 bytes, not the 12 of 3 tiles"},
        {"AQAA*AIAAAADAAAA", TiledEncoding::Base64, "not base64"},
        {"AQAAAAIAAAADAAAA", TiledEncoding::Base64Zlib, "zlib data is damaged"},
        {"AQAAAAIAAAADAAAA", TiledEncoding::Base64Zstd, "zstd data is damaged"},
    };
    for (const auto& row : rows)
    {
        std::vector<std::uint32_t> ids;
        std::string error;
        const bool read = row.encoding == TiledEncoding::Csv ? readCsvTileIds(row.text, 3, ids, error)
                                                             : decodeTileIds(row.text, row.encoding, 3, ids, error);
        if (*row.says == '\0')
        {
            EXPECT_TRUE(read) << row.text << ": " << error;
            EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 2, 3})) << row.text;
        }
        else
        {
            EXPECT_FALSE(read) << row.text;
            EXPECT_NE(error.find(row.says), std::string::npos) << row.text << ": " << error;
        }
    }
    // Every compression gives back what it was given, flip bits included.
    const std::vector<std::uint32_t> ids = {0, 1, 0x80000000u + 7, 0xFFFFFFFFu, 40000};
    for (TiledEncoding encoding : {TiledEncoding::Base64, TiledEncoding::Base64Zlib, TiledEncoding::Base64Gzip,
                                   TiledEncoding::Base64Zstd})
    {
        std::vector<std::uint32_t> back;
        std::string error;
        EXPECT_TRUE(decodeTileIds(encodeTileIds(ids, encoding), encoding, ids.size(), back, error)) << error;
        EXPECT_EQ(back, ids) << tiledCompressionName(encoding);
    }
}

// The command line's conversions, both ways, and a refused import that
// leaves the map file it would have written as it was.
TEST(TiledCommands, ExportAndImportSayWhatTheyWroteOrWhy)
{
    const TestContent content;
    TempDir files;
    std::string text;
    for (int i = 0; i < FieldCount; ++i)
        text += i == 604 ? "6\n2\n2\n1\n" : "5\n5\n0\n0\n";
    text += "-32\n16\n";
    files.write("m.map", text);
    std::ostringstream out, err;
    ASSERT_EQ(exportTiledMap(content.path(), files.file("m.map"), files.file("m.tmj"), true, "gzip", out, err), 0)
        << err.str();
    EXPECT_EQ(out.str(), "--- Tiled map written: " + files.file("m.tmj") + "\n");
    EXPECT_NE(readFile(files.file("m.tmj")).find("\"compression\": \"gzip\""), std::string::npos);
    EXPECT_FALSE(readFile(files.file("m-objects.tsj")).empty());
    ASSERT_EQ(importTiledMap(content.path(), files.file("m.tmj"), files.file("back.map"), out, err), 0) << err.str();
    EXPECT_TRUE(readFile(files.file("back.map")) == text);

    files.write("bad.tmx", "<map orientation=\"hexagonal\"/>");
    files.write("kept.map", "kept");
    std::ostringstream noOut, why;
    EXPECT_EQ(importTiledMap(content.path(), files.file("bad.tmx"), files.file("kept.map"), noOut, why), 1);
    EXPECT_EQ(why.str(), "quillora: cannot import the map: " + files.file("bad.tmx") +
                             ": line 1: the map is hexagonal, not orthogonal\n");
    EXPECT_EQ(readFile(files.file("kept.map")), "kept");
    EXPECT_EQ(exportTiledMap(content.path(), files.file("none.map"), files.file("x.tmx"), false, "csv", noOut, why), 1);
    EXPECT_FALSE(std::filesystem::exists(files.file("x.tmx")));
    EXPECT_TRUE(noOut.str().empty());
}

// Objects 3 and 4 have definitions but no pictures: the game draws nothing
// for them, and so does their tile, yet they come back where they stood.
TEST(TiledExport, ObjectsWithoutPicturesComeBack)
{
    const TestContent tree(TestContentOptions{8, 3, 5});
    const ContentPictures content(tree.path());
    StoredMap map;
    map.fields.assign(FieldCount, FieldValues());
    map.fields[FieldMap::index(10, 20)].objectId = 4;
    map.fields[FieldMap::index(0, 0)].objectId = 3;
    const std::string path = tree.file("maps/empty objects.tmx");
    std::filesystem::create_directories(tree.file("maps"));
    ASSERT_EQ(writeOutcome(writeTiledMap(map, content, path, TiledForm::Xml, TiledEncoding::Base64Zstd)), "");
    sf::Image tile;
    ASSERT_TRUE(loadPngImage(tree.file("maps/empty objects-object-4.png"), tile));
    EXPECT_EQ(tile.getSize(), sf::Vector2u(1, 1));
    EXPECT_EQ(tile.getPixel(0, 0).a, 0);
    StoredMap back;
    std::string error;
    ASSERT_TRUE(readTiledMap(path, content, back, error)) << error;
    EXPECT_TRUE(formatMap(back) == formatMap(map));
}

// --map (and F10, the same sequence) takes a Tiled map as it takes a map
// file, and refuses one without touching the map.
using TiledInGame = GameFixture;

TEST_F(TiledInGame, MapGivenAtStartMayBeATiledMap)
{
    StoredMap stored;
    stored.fields.assign(FieldCount, FieldValues());
    stored.fields[FieldMap::index(7, 8)] = {3, 1, 2, true};
    stored.originY = -48;
    TempDir maps;
    ASSERT_EQ(writeOutcome(writeTiledMap(stored, ContentPictures(dir.path()), maps.file("m.tmj"), TiledForm::Json,
                            TiledEncoding::Csv)),
              "");
    maps.write("bad.tmx", "not a map");
    game.loadMapAtStart(maps.file("bad.tmx"));
    EXPECT_NE(console.str().find("--- Loading Failed: " + maps.file("bad.tmx") + ": line 1: not XML"),
              std::string::npos)
        << console.str();
    EXPECT_EQ(game.map().at(7, 8).values(), FieldValues());
    game.loadMapAtStart(maps.file("m.tmj"));
    EXPECT_TRUE(formatMap(game.map()) == formatMap(stored)) << console.str();
    EXPECT_FALSE(game.unsavedChanges());
}
