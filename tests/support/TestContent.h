#pragma once

// Tiny content trees for tests, built in a fresh temporary directory.

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

#include <string>

// A temporary directory, removed with everything in it when the object dies.
class TempDir
{
public:
    TempDir();
    // An existing directory that is kept when the object dies.
    TempDir(std::string existing, bool keepIt);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root; }
    // `relative` below the directory, e.g. "Texturen/FieldTextur0.png".
    std::string file(const std::string& relative) const;
    // Writes `bytes` to `relative`, creating its folders.
    void write(const std::string& relative, const std::string& bytes) const;
    // Saves `image` as a PNG at `relative`, creating its folders.
    void writeImage(const std::string& relative, const sf::Image& image) const;

private:
    std::string root;
    bool keep = false;
};

// The colour of the 16 x 16 piece at (left, top) of field texture `type`:
// every piece of every ground type has its own opaque colour, so a pixel of
// the scene tells which type and piece were drawn there.
sf::Color fieldPieceColor(int type, int left, int top);
// The one colour of object texture `id`, and of the player's frame at `top`.
sf::Color objectColor(int id);
sf::Color playerFrameColor(int top);
// The colour of each cell of the test UI texture: a 16 x 8 grid cell at (x, y).
sf::Color uiCellColor(int x, int y);
// The editor cursor's colour.
sf::Color cursorColor();

struct TestContentOptions
{
    int fieldTextures = 8;  // FieldTextur0..N-1, each 80 x 80
    int objectTextures = 3; // ObjectTextur0..N-1, each 48 x 48, one colour
    int objects = 3;        // Object0..N-1: 0 empty, 1 a 1 x 1 block, 2 a 2 x 3 tree; more: 1 x 1
    int itemTextures = 2;
    int items = 2;
    bool singles = true; // player, editor, UI and title textures, ico.png
};

// Writes the test content tree below `root`.
void writeTestContent(const TempDir& dir, const TestContentOptions& options);
void writeTestContent(const std::string& root, const TestContentOptions& options);

// A complete little content tree in a temporary directory.
class TestContent : public TempDir
{
public:
    explicit TestContent(const TestContentOptions& options = {});
};

// Message of test object N (N >= 1).
std::string testObjectMessage(int id);

// The whole file at `path`, byte for byte; empty when it cannot be read.
std::string readFile(const std::string& path);
