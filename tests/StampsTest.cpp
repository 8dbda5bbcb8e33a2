// Stamp files, the stamps' folder, saving and loading stamps, the desktop
// clipboard's text and the stamps in the content picker.

#include "TestContent.h"
#include "WorldFixture.h"

#include "app/Stamps.h"
#include "content/ContentCatalog.h"
#include "content/GameData.h"
#include "hud/ContentPicker.h"
#include "mapfile/StampFile.h"
#include "platform/DesktopClipboard.h"

#include <gtest/gtest.h>

#include <SFML/Window/Clipboard.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

const ContentDescription Content(9, 6); // ground types 0..8, objects 0..5

// 3 wide, 2 high: a field differs from every other, so any field in the wrong
// place shows.
FieldBlock sampleBlock()
{
    FieldBlock block(3, 2);
    block.at(0, 0) = {1, 2, 3, true};
    block.at(1, 0) = {4, 0, 0, false};
    block.at(2, 0) = {8, 7, 5, false};
    block.at(0, 1) = {0, 5, 1, false};
    block.at(2, 1) = {6, 6, 0, true};
    return block;
}

class FakeClipboard final : public TextClipboard
{
public:
    std::string text() const override { return held; }
    void setText(const std::string& utf8) override { held = utf8; }
    std::string held;
};

std::string parseError(const std::string& text, FieldBlock& out)
{
    std::string error;
    return parseStamp(text, Content, out, error) ? "accepted" : error;
}
} // namespace

TEST(StampFile, RoundTripKeepsEveryFieldOfANonSquareBlockInTheMapFilesOrder)
{
    const FieldBlock block = sampleBlock();
    const std::string text = formatStamp(block);
    // The header, then column by column: (0,0) and (0,1) come first.
    EXPECT_EQ(text.substr(0, 41), "quillora-stamp 1\n3\n2\n1\n2\n3\n1\n0\n5\n1\n0\n4\n0\n");
    FieldBlock read;
    std::string error;
    ASSERT_TRUE(parseStamp(text, Content, read, error)) << error;
    EXPECT_EQ(read, block);
    EXPECT_EQ(read.rotatedClockwise().height(), 3);
    // Written by hand elsewhere: a byte order mark, "\r\n", blanks and
    // blank lines at the end read the same.
    std::string edited = "\xEF\xBB\xBF";
    for (char c : text)
        edited += c == '\n' ? std::string(" \r\n") : std::string(1, c);
    FieldBlock again;
    ASSERT_TRUE(parseStamp(edited + "\r\n  \n", Content, again, error)) << error;
    EXPECT_EQ(again, block);
}

TEST(StampFile, RefusesDamagedTextAndUnknownContentSayingWhereAndChangesNothing)
{
    const std::string header = "quillora-stamp 1\n1\n2\n";
    const std::string field = "1\n2\n3\n0\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "not a stamp (its first line is not \"quillora-stamp 1\")"},
        {"hello world\n", "not a stamp (its first line is not \"quillora-stamp 1\")"},
        {"quillora-stamp1\n1\n1\n" + field, "not a stamp (its first line is not \"quillora-stamp 1\")"},
        {"quillora-stamp 2\n1\n1\n" + field,
         "line 1 names version 2 of the stamp format, but this game reads version 1"},
        {"quillora-stamp 1\n0\n1\n" + field, "line 2 holds the width 0, but a stamp has 1 to 200 fields"},
        {"quillora-stamp 1\n1\n201\n" + field, "line 3 holds the height 201, but a stamp has 1 to 200 fields"},
        {"quillora-stamp 1\n1\n", "the file ends after line 2, but a stamp has at least 7 lines"},
        {header + field + "1\n2x\n3\n0\n", "line 9 holds more than a whole number"},
        {header + field + "1\n2\n\n0\n", "line 10 holds no number"},
        {header + field + "1\n2\n", "the file ends after line 9, but a 1 x 2 stamp has 11 lines"},
        {header + field + "1\n2\n3\n7\n", "line 11 holds the solid flag 7, which is neither 0 nor 1"},
        {header + field + "12\n2\n3\n0\n", "line 8 names ground type 12, which has no field texture"},
        {header + field + "1\n9\n3\n0\n", "line 9 names ground type 9, which has no field texture"},
        {header + field + "1\n2\n6\n0\n", "line 10 names object 6, which has no definition"},
        {header + field + field + "x\n", "line 12 holds text after the stamp's last field"},
    };
    for (const auto& [text, expected] : cases)
    {
        FieldBlock out = sampleBlock();
        EXPECT_EQ(parseError(text, out), expected) << text;
        EXPECT_EQ(out, sampleBlock()) << text;
    }
    // A new map's ground type is taken whatever the content has, as in maps.
    FieldBlock out;
    std::string error;
    EXPECT_TRUE(parseStamp("quillora-stamp 1\n1\n1\n5\n5\n0\n0\n", ContentDescription(2, 1), out, error)) << error;
}

TEST(StampFile, FolderListsStampsByNameWhateverTheirCase)
{
    TempDir dir;
    for (const char* file : {"beta.stamp", "Alpha.stamp", "alpha2.stamp", "Beta.stamp", "notes.txt", ".stamp",
                             "old.stamp.bak", "folder.stamp/inside.stamp"})
        dir.write(file, "x");
    EXPECT_EQ(listStamps(dir.path()), (std::vector<std::string>{"Alpha", "alpha2", "Beta", "beta"}));
    EXPECT_TRUE(listStamps(dir.file("missing")).empty());
    EXPECT_TRUE(listStamps("").empty());
}

TEST(Stamps, SaveAsksForANameInTheFolderAndLoadBringsTheStampBack)
{
    TempDir root;
    const std::string folder = root.file("data/quillora/stamps");
    FakeClipboard desktop;
    std::ostringstream console;
    std::vector<std::string> asked;
    std::string answer = folder + "/Stamp 1"; // ".stamp" is added
    int dialogs = 0;
    Stamps stamps(
        Content, folder, desktop, console,
        [&](FileDialogPurpose purpose, const std::string& start) {
            EXPECT_EQ(purpose, FileDialogPurpose::SaveStamp);
            asked.push_back(start);
            return FileChoice(answer);
        },
        [&](bool opening) { dialogs += opening ? 1 : -1; });

    EXPECT_EQ(stamps.save(FieldBlock()).status, StampOutcome::Status::Failed);
    EXPECT_TRUE(asked.empty()) << "nothing to save: no dialog";
    const StampOutcome saved = stamps.save(sampleBlock());
    EXPECT_EQ(saved.message, "Stamp \"Stamp 1\" saved (3 x 2 fields)");
    EXPECT_EQ(dialogs, 0);
    answer = "tree.stamp"; // a bare name: in the folder
    stamps.save(sampleBlock().flippedVertically());
    answer = folder + "/.stamp";
    EXPECT_EQ(stamps.save(sampleBlock()).message, "Saving the stamp failed: it needs a name");
    answer.clear(); // cancelled: nothing written
    EXPECT_EQ(stamps.save(sampleBlock()).status, StampOutcome::Status::Cancelled);
    EXPECT_EQ(asked.front(), folder + "/Stamp 1.stamp");
    EXPECT_EQ(asked.back(), folder + "/Stamp 2.stamp") << "the first free name";
    EXPECT_EQ(stamps.names(), (std::vector<std::string>{"Stamp 1", "tree"}));

    FieldBlock loaded;
    EXPECT_EQ(stamps.load("Stamp 1", loaded).message, "Stamp \"Stamp 1\" (3 x 2 fields)");
    EXPECT_EQ(loaded, sampleBlock());
    EXPECT_EQ(stamps.load("tree", loaded).status, StampOutcome::Status::Complete);
    EXPECT_EQ(loaded, sampleBlock().flippedVertically());

    // A stamp made with other content: refused, naming what is missing.
    const ContentDescription fewerObjects(9, 4); // outlives the stamps, which keep it
    Stamps fewer(fewerObjects, folder, desktop, console);
    const StampOutcome refused = fewer.load("Stamp 1", loaded);
    EXPECT_EQ(refused.status, StampOutcome::Status::Failed);
    EXPECT_EQ(refused.message, "Stamp \"Stamp 1\" refused: line 22 names object 5, which has no definition");
    EXPECT_EQ(loaded, sampleBlock().flippedVertically());
    EXPECT_NE(console.str().find(folder + "/Stamp 1.stamp: line 22"), std::string::npos) << console.str();
    EXPECT_EQ(fewer.load("gone", loaded).status, StampOutcome::Status::Failed);
}

TEST(Stamps, DesktopClipboardCarriesTheStampAndRefusesOtherText)
{
    FakeClipboard desktop;
    std::ostringstream console;
    Stamps stamps(Content, "", desktop, console);
    const FieldBlock own = sampleBlock().rotatedClockwise();
    FieldBlock taken;

    EXPECT_EQ(stamps.takeFromDesktop(FieldBlock(), taken).status, StampOutcome::Status::Failed);
    EXPECT_EQ(stamps.takeFromDesktop(own, taken).status, StampOutcome::Status::Complete);
    EXPECT_EQ(taken, own) << "nothing on the desktop: the game's own clipboard";
    // What this game put there is its own clipboard, flipped since or not;
    // another game's text is read.
    stamps.putOnDesktop(own.flippedVertically());
    EXPECT_EQ(desktop.held, formatStamp(own.flippedVertically()));
    EXPECT_EQ(stamps.takeFromDesktop(own, taken).status, StampOutcome::Status::Complete);
    EXPECT_EQ(taken, own);
    desktop.held = formatStamp(sampleBlock());
    EXPECT_EQ(stamps.takeFromDesktop(own, taken).status, StampOutcome::Status::Complete);
    EXPECT_EQ(taken, sampleBlock());

    const std::pair<std::string, std::string> refused[] = {
        {"https://example.org", "The clipboard holds no stamp: nothing pasted"},
        {"quillora-stamp 1\n1\n1\n1\n1\n9\n0\n",
         "The clipboard's stamp refused: line 6 names object 9, which has no definition"},
    };
    for (const auto& [text, message] : refused)
    {
        desktop.held = text;
        EXPECT_EQ(stamps.takeFromDesktop(own, taken).message, message);
        EXPECT_EQ(taken, sampleBlock()) << "nothing changes";
    }
}

TEST(ContentPicker, StampsFollowTheObjectsFromANewRowAndAClickChoosesOne)
{
    const TestContent dir(TestContentOptions{20, 3, 3}); // 2 rows of ground types, 1 of objects
    std::ostringstream console;
    const GameData data(dir.path(), &console);
    ContentPicker picker(&data, {1080, 720});
    std::vector<std::string> names;
    picker.setOpen(true);
    const sf::FloatRect withoutStamps = picker.bounds();
    picker.setOpen(false);
    picker.setStampLister([&] { return names; });

    names = {"a", "b very long name of a stamp that cannot fit", "c"};
    picker.setOpen(true);
    EXPECT_EQ(picker.stampNames(), names);
    EXPECT_EQ(picker.bounds().height, withoutStamps.height + PickerCellSize + PickerCellGap);
    const sf::Vector2f firstStamp = picker.cellCentre({PickerEntry::Kind::Stamp, 0});
    EXPECT_EQ(firstStamp.y, picker.cellCentre({PickerEntry::Kind::Object, 0}).y + PickerCellSize + PickerCellGap);
    EXPECT_EQ(firstStamp.x, picker.cellCentre({PickerEntry::Kind::Ground, 0}).x);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(picker.entryAt(picker.cellCentre({PickerEntry::Kind::Stamp, n})),
                  (PickerEntry{PickerEntry::Kind::Stamp, n}));
    EXPECT_FALSE(picker.entryAt(picker.cellCentre({PickerEntry::Kind::Stamp, 3})));
    EXPECT_FALSE(picker.entryAt(picker.cellCentre({PickerEntry::Kind::Object, 3}))) << "the objects' row ends";

    EXPECT_EQ(picker.stampLabel("a b"), "a b");
    EXPECT_EQ(picker.stampLabel("Tree row with a lake").toAnsiString(), "Tree\nrow\nwith..");

    // Read again at the next opening: a stamp saved meanwhile shows.
    names.push_back("d");
    EXPECT_EQ(picker.stampNames().size(), 3u);
    picker.setOpen(false);
    picker.setOpen(true);
    EXPECT_EQ(picker.entryAt(picker.cellCentre({PickerEntry::Kind::Stamp, 3})),
              (PickerEntry{PickerEntry::Kind::Stamp, 3}));
    names.clear();
    picker.setOpen(false);
    picker.setOpen(true);
    EXPECT_EQ(picker.bounds(), withoutStamps) << "without stamps the picker is as it was";
}

TEST(DesktopClipboard, KeepsAStampsTextAsPut)
{
    DesktopClipboard desktop;
    for (const FieldBlock& block : {sampleBlock(), FieldBlock(MaxStampSide, MaxStampSide)})
    {
        const std::string text = formatStamp(block);
        desktop.setText(text);
        EXPECT_EQ(desktop.text(), text) << text.size() << " bytes";
    }
}

// In the game: a stamp chosen in the picker shows as a paste and a click puts
// it on the map; the clipboard goes to the desktop; desktop text that is no
// stamp pastes nothing.
TEST(GameStamps, APickedStampIsPastedAndOtherDesktopTextIsNot)
{
    using K = sf::Keyboard;
    TestContent dir;
    FieldBlock hut(2, 1);
    hut.at(0, 0) = {3, 1, 2, true};
    hut.at(1, 0) = {4, 4, 0, false};
    fs::create_directory(dir.file("stamps"));
    std::ofstream(dir.file("stamps/hut.stamp")) << formatStamp(hut);
    GameOptions options{dir.path(), false, false};
    options.stampsFolder = dir.file("stamps");
    ManualTimeSource time;
    std::ostringstream console;
    Game game(options, time, &console);
    const auto frame = [&](const Keys& held, sf::Vector2f at = {}, bool click = false) {
        time.advance(sf::milliseconds(201));
        InputState input = pressing(held);
        input.mousePosition = {int(std::lround(at.x)), int(std::lround(at.y))};
        input.leftButton = click;
        game.frame(&input);
        return game.hud().messageText().getString().toAnsiString();
    };
    // The middle of field (c, r) in window pixels, with the map at its start.
    const auto fieldAt = [&](int column, int row) {
        return sf::Vector2f((16.f * column + 8) * game.sceneScale().x, (16.f * row + 8) * game.sceneScale().y);
    };
    frame({K::E});
    frame({K::Tab});
    const sf::Vector2f cell = game.picker().cellCentre({PickerEntry::Kind::Stamp, 0});
    EXPECT_EQ(frame({}, cell, true), "Stamp \"hut\" (2 x 1 fields)");
    frame({}, cell);
    EXPECT_TRUE(game.editor().pasting());
    EXPECT_EQ(sf::Clipboard::getString().toAnsiString(), formatStamp(hut)) << "the clipboard is on the desktop";
    frame({}, fieldAt(6, 5), true);
    frame({}, fieldAt(6, 5));
    EXPECT_EQ(game.map().at(6, 5).values(), hut.at(0, 0));
    EXPECT_EQ(game.map().at(7, 5).values(), hut.at(1, 0));

    sf::Clipboard::setString("a shopping list");
    const std::uint64_t revision = game.map().revision();
    EXPECT_EQ(frame({K::LControl, K::V}, fieldAt(9, 5)), "The clipboard holds no stamp: nothing pasted");
    frame({}, fieldAt(9, 5), true);
    EXPECT_FALSE(game.editor().pasting());
    EXPECT_EQ(game.map().revision(), revision + 1) << "the click paints as always, nothing is pasted";
    EXPECT_EQ(game.editor().clipboard(), hut);
}
