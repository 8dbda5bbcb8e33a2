#include "platform/UserFolders.h"

#include "TestContent.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

TEST(UserFolders, StateFolderFollowsXdgStateHomeElseHome)
{
    EXPECT_EQ(stateFolderFor("/x/state", "/home/ann"), "/x/state/quillora");
    EXPECT_EQ(stateFolderFor("relative/state", "/home/ann"), "/home/ann/.local/state/quillora");
    EXPECT_EQ(stateFolderFor("", "/home/ann"), "/home/ann/.local/state/quillora");
    EXPECT_EQ(stateFolderFor(nullptr, "/home/ann"), "/home/ann/.local/state/quillora");
    EXPECT_EQ(stateFolderFor(nullptr, nullptr), "");
}

TEST(UserFolders, DataFolderFollowsXdgDataHomeElseHome)
{
    EXPECT_EQ(dataFolderFor("/x/data", "/home/ann"), "/x/data/quillora");
    EXPECT_EQ(dataFolderFor("relative/data", "/home/ann"), "/home/ann/.local/share/quillora");
    EXPECT_EQ(dataFolderFor("", "/home/ann"), "/home/ann/.local/share/quillora");
    EXPECT_EQ(dataFolderFor(nullptr, nullptr), "");
}

TEST(UserFolders, PicturesFolderFromUserDirs)
{
    const std::string home = "/home/ann";
    EXPECT_EQ(picturesFolderFromUserDirs("# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                         "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
                                         home),
              "/home/ann/Bilder");
    EXPECT_EQ(picturesFolderFromUserDirs("XDG_PICTURES_DIR=\"/data/pics\"", home), "/data/pics");
    EXPECT_EQ(picturesFolderFromUserDirs("XDG_PICTURES_DIR=\"$HOME\"\n", home), "/home/ann");
    for (const char* refused : {"", "XDG_PICTURES_DIR=\"$HOMEWORK/x\"\n", "XDG_PICTURES_DIR=\"pics\"\n",
                                "XDG_PICTURES_DIR=\"$HOME/unclosed\n", " XDG_PICTURES_DIR=\"/p\"\n"})
        EXPECT_EQ(picturesFolderFromUserDirs(refused, home), "") << refused;
}

TEST(UserFolders, CreatedFoldersAreTheUsersAlone)
{
    TempDir root;
    const std::string folder = root.file("a/b/quillora");
    EXPECT_EQ(createFolder(folder), "");
    EXPECT_EQ(createFolder(folder), "") << "an existing folder is fine";
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    root.write("file", "x");
    EXPECT_NE(createFolder(root.file("file/sub")), "");
}
