#pragma once

// Tiny content trees for tests and benchmarks, built in temporary directories.

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

#include <string>

// A fresh temporary directory, removed with everything in it when the object dies.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root; }
    // `relative` below the directory, e.g. "Texturen/FieldTextur0.png".
    std::string file(const std::string& relative) const { return root + "/" + relative; }
    // Writes `bytes` to `relative`, creating its folders.
    void write(const std::string& relative, const std::string& bytes) const;

private:
    std::string root;
};

// Every 16 x 16 piece of every field texture has its own opaque colour, so a
// pixel of the scene tells which type and piece (by its top-left corner) was drawn.
sf::Color fieldPieceColor(int type, int left, int top);
// The one colour of object texture `id`, and of the player's frame at `top`.
sf::Color objectColor(int id);
sf::Color playerFrameColor(int top);
// The UI texture's colour at texture pixel (x, y): one colour per 16 x 8 cell.
sf::Color uiPixel(int x, int y);

// A small fixed-seed random source, so busy test maps are the same every run.
class TestRandom
{
public:
    explicit TestRandom(unsigned seed) : seed(seed) {}
    // A number in 0 .. n - 1.
    unsigned operator()(unsigned n)
    {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    }

private:
    unsigned seed;
};

struct TestContentOptions
{
    int fieldTextures = 8;  // FieldTextur0..N-1, each 80 x 80
    int objectTextures = 3; // ObjectTextur0..N-1, each 48 x 48, one colour
    int objects = 3;        // Object0..N-1: 0 empty, 2 a 2 x 3 tree on its right column, the rest 1 x 1 blocks
    int itemTextures = 2;
    int items = 2;
};

// Writes the test content tree below `root`: the sets above, the player
// (eight 32 x 32 frames), a yellow editor cursor, the UI, title and icon.
void writeTestContent(const std::string& root, const TestContentOptions& options = {});

// A complete little content tree in a temporary directory.
class TestContent : public TempDir
{
public:
    explicit TestContent(const TestContentOptions& options = {}) { writeTestContent(path(), options); }
};

// Message of test object N (N >= 1).
std::string testObjectMessage(int id);

// The whole file at `path`, byte for byte; empty when it cannot be read.
std::string readFile(const std::string& path);
