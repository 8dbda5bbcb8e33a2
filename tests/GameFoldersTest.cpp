#include "app/GameFolders.h"

#include "TestContent.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(GameFolders, ContentIsLookedForWhereGivenThenHereThenInstalled)
{
    TempDir root;
    const std::string with = root.file("with"), without = root.file("without"), installed = root.file("share");
    for (const std::string& folder : {with, installed})
        root.write(fs::path(folder).filename().string() + "/Texturen/FieldTextur0.png", "png");
    fs::create_directories(without);

    const struct
    {
        std::string given, working, installed;
        ContentSource source;
        std::string folder;
    } cases[] = {
        {with, without, installed, ContentSource::Given, with},
        {without, with, installed, ContentSource::NotFound, ""}, // a given folder is never replaced
        {"", with, installed, ContentSource::WorkingDirectory, "."},
        {"", without, installed, ContentSource::Installed, installed},
        {"", without, "", ContentSource::NotFound, ""},
        {"", without, without, ContentSource::NotFound, ""},
    };
    for (const auto& c : cases)
    {
        const ContentLocation found = locateContent(c.given, c.working, c.installed);
        EXPECT_EQ(found.source, c.source) << c.given << " | " << c.working << " | " << c.installed;
        EXPECT_EQ(found.folder, c.folder) << c.given << " | " << c.working << " | " << c.installed;
        EXPECT_EQ(found.problem.empty(), c.source != ContentSource::NotFound);
    }
    // The problem names what was looked for, and every place.
    const std::string problem = locateContent("", without, root.file("nowhere")).problem;
    for (const std::string& part : {std::string("Texturen/FieldTextur0.png"), without, root.file("nowhere"),
                                    std::string("--content")})
        EXPECT_NE(problem.find(part), std::string::npos) << part << " in " << problem;
}

TEST(GameFolders, PicturesOfADesktopStartGoToThePicturesFolder)
{
    TempDir root;
    fs::create_directories(root.file("home/maps"));
    const std::string home = root.file("home"), pictures = root.file("home/Pictures");
    const std::string desktop = (fs::path(pictures) / "Quillora").string();
    EXPECT_EQ(desktopPictureFolder(ContentSource::Installed, home, home, pictures), desktop);
    EXPECT_EQ(desktopPictureFolder(ContentSource::Installed, home + "/maps/..", home, pictures), desktop);
    EXPECT_EQ(desktopPictureFolder(ContentSource::Installed, root.file("home/maps"), home, pictures), "");
    EXPECT_EQ(desktopPictureFolder(ContentSource::WorkingDirectory, home, home, pictures), "");
    EXPECT_EQ(desktopPictureFolder(ContentSource::Given, home, home, pictures), "");
    EXPECT_EQ(desktopPictureFolder(ContentSource::Installed, home, "", pictures), "");
}
