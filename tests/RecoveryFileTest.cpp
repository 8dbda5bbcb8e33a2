#include "WorldFixture.h"

#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"

namespace
{
class RecoveryFile : public WorldFixture
{
protected:
    TempDir files;
};
} // namespace

TEST_F(RecoveryFile, HeaderThenTheMapAndNothingElse)
{
    const std::string mapText = formatMap(map);
    const std::string text = formatRecovery("/maps/isle.map", mapText);
    EXPECT_EQ(text.substr(0, 49), "Quillora recovery file\nmap file: /maps/isle.map\n5");
    RecoveryContents contents;
    std::string error;
    ASSERT_TRUE(parseRecovery(text, contents, error)) << error;
    EXPECT_EQ(contents.mapPath, "/maps/isle.map");
    EXPECT_TRUE(contents.mapText == mapText);

    // A map without a file, and a path that would break the header, keep no name.
    for (const std::string& path : {std::string(), std::string("/a\nb.map")})
    {
        const std::string plain = formatRecovery(path, mapText);
        EXPECT_EQ(plain.substr(0, 33), "Quillora recovery file\nmap file:\n");
        ASSERT_TRUE(parseRecovery(plain, contents, error)) << error;
        EXPECT_EQ(contents.mapPath, "");
    }

    const std::string header = "Quillora recovery file\nmap file: x\n";
    const std::string refused[] = {
        mapText,                                                   // a plain map file
        "Quillora recovery file\r\nmap file: x\r\n" + mapText,     // other line ends
        "Quillora recovery file\nmap file:x\n" + mapText,          // no blank after the label
        "Quillora recovery file\nmap: x\n" + mapText,
        header + mapText.substr(0, mapText.size() - 1),            // cut inside the last line
        header + mapText.substr(0, mapText.size() / 2),            // cut in the middle
        header + mapText + "0\n",                                   // a line more
        header + mapText + "0",                                     // text after the map
        "Quillora recovery file\n",
        "",
    };
    for (const std::string& text : refused)
    {
        error.clear();
        EXPECT_FALSE(parseRecovery(text, contents, error)) << text.substr(0, 40);
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(RecoveryFile, LoadsLikeAMapFileAndSaysItWasRecovered)
{
    map.setValues(3, 4, {1, 2, 1, true});
    map.setOrigin(-16, -32);
    files.write("r.map", formatRecovery("/maps/isle.map", formatMap(map)));
    FieldMap loaded(*data);
    const MapFileResult result = loadMap(loaded, [&](FileDialogPurpose) { return files.file("r.map"); });
    ASSERT_EQ(result.status, MapFileResult::Status::Complete) << result.reason;
    EXPECT_TRUE(result.recovered);
    EXPECT_EQ(result.recoveredFrom, "/maps/isle.map");
    EXPECT_TRUE(formatMap(loaded) == formatMap(map));

    // A damaged recovery file leaves the map alone and says why.
    files.write("cut.map", formatRecovery("", formatMap(map)).substr(0, 1000));
    const MapFileResult cut = loadMap(loaded, [&](FileDialogPurpose) { return files.file("cut.map"); });
    EXPECT_EQ(cut.status, MapFileResult::Status::Failed);
    EXPECT_NE(cut.reason.find("cut.map: the map in it has"), std::string::npos) << cut.reason;
    files.write("plain.map", formatMap(map));
    EXPECT_FALSE(loadMap(loaded, [&](FileDialogPurpose) { return files.file("plain.map"); }).recovered);
}
