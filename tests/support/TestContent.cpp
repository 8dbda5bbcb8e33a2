#include "TestContent.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quillora-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    root = pattern;
}

TempDir::TempDir(std::string existing, bool) : root(std::move(existing)), keep(true) {}

TempDir::~TempDir()
{
    if (keep)
        return;
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TempDir::file(const std::string& relative) const
{
    return root + "/" + relative;
}

void TempDir::write(const std::string& relative, const std::string& bytes) const
{
    const fs::path target = file(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << bytes;
}

void TempDir::writeImage(const std::string& relative, const sf::Image& image) const
{
    const fs::path target = file(relative);
    fs::create_directories(target.parent_path());
    if (!image.saveToFile(target.string()))
        throw std::runtime_error("cannot write " + target.string());
}

sf::Color fieldPieceColor(int type, int left, int top)
{
    const int piece = (top / 16) * 5 + left / 16; // 0..24
    return sf::Color(static_cast<sf::Uint8>(10 + type * 20), static_cast<sf::Uint8>(10 + piece * 9), 200);
}

sf::Color objectColor(int id)
{
    return sf::Color(static_cast<sf::Uint8>(250 - id * 30), 40, static_cast<sf::Uint8>(20 + id * 10));
}

sf::Color playerFrameColor(int top)
{
    return sf::Color(255, static_cast<sf::Uint8>(100 + top / 32 * 15), 0);
}

sf::Color uiCellColor(int x, int y)
{
    return sf::Color(static_cast<sf::Uint8>(30 + x * 2), static_cast<sf::Uint8>(60 + y * 2), 90);
}

sf::Color cursorColor()
{
    return sf::Color(255, 255, 0);
}

std::string testObjectMessage(int id)
{
    return "Object number " + std::to_string(id);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TestContent::TestContent(const TestContentOptions& options)
{
    writeTestContent(*this, options);
}

void writeTestContent(const std::string& root, const TestContentOptions& options)
{
    const TempDir dir(root, true);
    writeTestContent(dir, options);
}

void writeTestContent(const TempDir& dir, const TestContentOptions& options)
{
    for (int type = 0; type < options.fieldTextures; ++type)
    {
        sf::Image sheet;
        sheet.create(80, 80);
        for (unsigned y = 0; y < 80; ++y)
            for (unsigned x = 0; x < 80; ++x)
                sheet.setPixel(x, y,
                               fieldPieceColor(type, static_cast<int>(x / 16 * 16), static_cast<int>(y / 16 * 16)));
        dir.writeImage("Texturen/FieldTextur" + std::to_string(type) + ".png", sheet);
    }
    for (int id = 0; id < options.objectTextures; ++id)
    {
        sf::Image picture;
        picture.create(48, 48, objectColor(id));
        dir.writeImage("Texturen/ObjectTextur" + std::to_string(id) + ".png", picture);
    }
    for (int id = 0; id < options.objects; ++id)
    {
        std::string lines;
        if (id == 0)
            lines = "1\n1\n0\n0\n0\n0\n0\n\n";
        else if (id == 2)
            lines = "2\n3\n32\n4\n34\n8\n1\n" + testObjectMessage(id) + "\n"; // a tree on its right column
        else
            lines = "1\n1\n0\n0\n0\n0\n0\n" + testObjectMessage(id) + "\n";
        dir.write("Objekte/Object" + std::to_string(id) + ".object", lines);
    }
    for (int id = 0; id < options.itemTextures; ++id)
    {
        sf::Image picture;
        picture.create(16, 16, sf::Color(0, 0, static_cast<sf::Uint8>(100 + id)));
        dir.writeImage("Items/ItemTextur" + std::to_string(id) + ".png", picture);
    }
    for (int id = 0; id < options.items; ++id)
        dir.write("Items/Item" + std::to_string(id) + ".Item", "Item " + std::to_string(id) + "\nmore\n");

    if (!options.singles)
        return;
    sf::Image player;
    player.create(32, 256);
    for (unsigned y = 0; y < 256; ++y)
        for (unsigned x = 0; x < 32; ++x)
            player.setPixel(x, y, playerFrameColor(static_cast<int>(y / 32 * 32)));
    dir.writeImage("Texturen/PlayerTextur.png", player);

    sf::Image cursor;
    cursor.create(16, 16, cursorColor());
    dir.writeImage("Texturen/EditorTextur.png", cursor);

    sf::Image ui;
    ui.create(96, 64);
    for (unsigned y = 0; y < 64; ++y)
        for (unsigned x = 0; x < 96; ++x)
            ui.setPixel(x, y, uiCellColor(static_cast<int>(x / 16 * 16), static_cast<int>(y / 8 * 8)));
    dir.writeImage("Texturen/UITextur.png", ui);

    sf::Image title;
    title.create(320, 192, sf::Color(20, 20, 20));
    dir.writeImage("Texturen/TitleScreenTextur.png", title);

    sf::Image icon;
    icon.create(16, 16, sf::Color(0, 128, 0));
    dir.writeImage("ico.png", icon);
}
