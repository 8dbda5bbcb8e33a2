#include "TestContent.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace
{
void writeBytes(const fs::path& target, const std::string& bytes)
{
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << bytes;
}

void writePng(const fs::path& target, const sf::Image& image)
{
    fs::create_directories(target.parent_path());
    if (!image.saveToFile(target.string()))
        throw std::runtime_error("cannot write " + target.string());
}

sf::Image painted(unsigned width, unsigned height, const std::function<sf::Color(int x, int y)>& color)
{
    sf::Image image;
    image.create(width, height);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            image.setPixel(x, y, color(int(x), int(y)));
    return image;
}

sf::Uint8 byte(int value) { return static_cast<sf::Uint8>(value); }
} // namespace

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quillora-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    root = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

void TempDir::write(const std::string& relative, const std::string& bytes) const
{
    writeBytes(file(relative), bytes);
}

sf::Color fieldPieceColor(int type, int left, int top)
{
    return {byte(10 + type * 20), byte(10 + ((top / 16) * 5 + left / 16) * 9), 200};
}

sf::Color objectColor(int id) { return {byte(250 - id * 30), 40, byte(20 + id * 10)}; }
sf::Color playerFrameColor(int top) { return {255, byte(100 + top / 32 * 15), 0}; }
sf::Color uiPixel(int x, int y) { return {byte(30 + x / 16 * 32), byte(60 + y / 8 * 16), 90}; }

std::string testObjectMessage(int id)
{
    return "Object number " + std::to_string(id);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeTestContent(const std::string& root, const TestContentOptions& options)
{
    const fs::path dir(root);
    for (int type = 0; type < options.fieldTextures; ++type)
        writePng(dir / ("Texturen/FieldTextur" + std::to_string(type) + ".png"),
                 painted(80, 80, [type](int x, int y) { return fieldPieceColor(type, x / 16 * 16, y / 16 * 16); }));
    for (int id = 0; id < options.objectTextures; ++id)
        writePng(dir / ("Texturen/ObjectTextur" + std::to_string(id) + ".png"),
                 painted(48, 48, [id](int, int) { return objectColor(id); }));
    for (int id = 0; id < options.objects; ++id)
    {
        const std::string lines = id == 0   ? "1\n1\n0\n0\n0\n0\n0\n\n"
                                  : id == 2 ? "2\n3\n32\n4\n34\n8\n1\n" + testObjectMessage(id) + "\n"
                                            : "1\n1\n0\n0\n0\n0\n0\n" + testObjectMessage(id) + "\n";
        writeBytes(dir / ("Objekte/Object" + std::to_string(id) + ".object"), lines);
    }
    for (int id = 0; id < options.itemTextures; ++id)
        writePng(dir / ("Items/ItemTextur" + std::to_string(id) + ".png"),
                 painted(16, 16, [id](int, int) { return sf::Color(0, 0, byte(100 + id)); }));
    for (int id = 0; id < options.items; ++id)
        writeBytes(dir / ("Items/Item" + std::to_string(id) + ".Item"), "Item " + std::to_string(id) + "\nmore\n");

    writePng(dir / "Texturen/PlayerTextur.png",
             painted(32, 256, [](int, int y) { return playerFrameColor(y / 32 * 32); }));
    writePng(dir / "Texturen/EditorTextur.png", painted(16, 16, [](int, int) { return sf::Color::Yellow; }));
    writePng(dir / "Texturen/UITextur.png", painted(96, 64, uiPixel));
    writePng(dir / "Texturen/TitleScreenTextur.png", painted(320, 192, [](int, int) { return sf::Color(20, 20, 20); }));
    writePng(dir / "ico.png", painted(16, 16, [](int, int) { return sf::Color(0, 128, 0); }));
}
