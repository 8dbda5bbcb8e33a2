// Quillora asset generator.
//
// Paints all of the game's bundled art (ground sheets, objects, the player,
// the editor cursor, the HUD cells, the title screen, items, the window icon)
// and writes the content tree with the object and item definitions, plus the
// desktop icon in several sizes (icons/, installed but never read by the game).
//
//   quillora_assetgen [output-dir] [--preview preview-dir]
//
// The output directory defaults to "assets". Everything is deterministic:
// noise comes from a hash of pixel coordinates and fixed seeds, so running the
// tool twice gives byte-identical files. With --preview the tool also writes
// enlarged contact sheets and a small painted world (PNG) into preview-dir, to
// check by eye how the pieces join up; nothing of that goes into the content.

#include "world/AutoTile.h"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace
{
using sf::Color;

constexpr int Piece = 16; // side of a ground piece and of a field, pixels
constexpr float Pi = 3.14159265f;

// ---------------------------------------------------------------- helpers

std::uint32_t hash3(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Deterministic noise in [0, 1).
float rnd(int x, int y, std::uint32_t seed)
{
    return static_cast<float>(hash3(x, y, seed) & 0xFFFFFFu) / 16777216.0f;
}

std::uint8_t clampByte(float v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}

Color shade(Color c, float f)
{
    return Color(clampByte(c.r * f), clampByte(c.g * f), clampByte(c.b * f), c.a);
}

Color mix(Color a, Color b, float t)
{
    return Color(clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t),
                 clampByte(a.b + (b.b - a.b) * t), clampByte(a.a + (b.a - a.a) * t));
}

// Small brightness noise so that surfaces look textured rather than flat.
Color jitter(Color c, int x, int y, std::uint32_t seed, float amount)
{
    return shade(c, 1.0f + (rnd(x, y, seed) - 0.5f) * amount);
}

const Color Clear(0, 0, 0, 0);

sf::Image blank(int w, int h)
{
    sf::Image img;
    img.create(static_cast<unsigned>(w), static_cast<unsigned>(h), Clear);
    return img;
}

bool inside(const sf::Image& img, int x, int y)
{
    return x >= 0 && y >= 0 && x < static_cast<int>(img.getSize().x) && y < static_cast<int>(img.getSize().y);
}

void put(sf::Image& img, int x, int y, Color c)
{
    if (inside(img, x, y))
        img.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y), c);
}

Color get(const sf::Image& img, int x, int y)
{
    return inside(img, x, y) ? img.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)) : Clear;
}

// Source-over blending of one pixel.
void blend(sf::Image& img, int x, int y, Color c)
{
    if (!inside(img, x, y))
        return;
    const Color d = get(img, x, y);
    const float a = c.a / 255.0f;
    const float da = d.a / 255.0f;
    const float oa = a + da * (1.0f - a);
    if (oa <= 0.0f)
        return put(img, x, y, Clear);
    auto ch = [&](float s, float t) { return clampByte((s * a + t * da * (1.0f - a)) / oa); };
    put(img, x, y, Color(ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), clampByte(oa * 255.0f)));
}

void fillRect(sf::Image& img, int x0, int y0, int w, int h, Color c)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            put(img, x, y, c);
}

void blendEllipse(sf::Image& img, float cx, float cy, float rx, float ry, Color c)
{
    for (int y = static_cast<int>(cy - ry) - 1; y <= static_cast<int>(cy + ry) + 1; ++y)
        for (int x = static_cast<int>(cx - rx) - 1; x <= static_cast<int>(cx + rx) + 1; ++x)
        {
            const float dx = (x + 0.5f - cx) / rx;
            const float dy = (y + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f)
                blend(img, x, y, c);
        }
}

// Gives every clear pixel next to an opaque one (4-neighbourhood) the outline
// colour: the dark rim that keeps sprites readable on any ground.
void outline(sf::Image& img, Color c, int x0, int y0, int w, int h)
{
    std::vector<std::pair<int, int>> rim;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
        {
            if (get(img, x, y).a != 0)
                continue;
            auto solid = [&](int nx, int ny) {
                return nx >= x0 && ny >= y0 && nx < x0 + w && ny < y0 + h && get(img, nx, ny).a >= 128;
            };
            if (solid(x - 1, y) || solid(x + 1, y) || solid(x, y - 1) || solid(x, y + 1))
                rim.emplace_back(x, y);
        }
    for (auto [x, y] : rim)
        put(img, x, y, c);
}

// Trims single pixels that stick out of a round shape (those with at most one
// opaque 4-neighbour), so that the outline drawn afterwards stays smooth.
void roundOff(sf::Image& img)
{
    const int w = static_cast<int>(img.getSize().x), h = static_cast<int>(img.getSize().y);
    std::vector<std::pair<int, int>> stray;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            if (get(img, x, y).a < 128)
                continue;
            int n = 0;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                n += get(img, x + dx, y + dy).a >= 128 ? 1 : 0;
            if (n <= 1)
                stray.emplace_back(x, y);
        }
    for (auto [x, y] : stray)
        put(img, x, y, Clear);
}

void outline(sf::Image& img, Color c)
{
    outline(img, c, 0, 0, static_cast<int>(img.getSize().x), static_cast<int>(img.getSize().y));
}

// Paints pixel art given as rows of characters; '.' and ' ' stay untouched.
void art(sf::Image& img, int x0, int y0, const std::vector<std::string>& rows, const std::map<char, Color>& palette,
         bool mirror = false)
{
    for (std::size_t r = 0; r < rows.size(); ++r)
    {
        const std::string& row = rows[r];
        for (std::size_t i = 0; i < row.size(); ++i)
        {
            const auto it = palette.find(row[i]);
            if (it == palette.end())
                continue;
            const int x = mirror ? static_cast<int>(row.size() - 1 - i) : static_cast<int>(i);
            put(img, x0 + x, y0 + static_cast<int>(r), it->second);
        }
    }
}

// Simple light from the upper left and the front, for rounded shapes.
// nx, ny: position on the shape relative to its centre, -1..1.
float sphereLight(float nx, float ny)
{
    const float nz2 = 1.0f - nx * nx - ny * ny;
    const float nz = nz2 > 0.0f ? std::sqrt(nz2) : 0.0f;
    return -0.45f * nx - 0.55f * ny + 0.7f * nz;
}

// ---------------------------------------------------------------- fonts

// 3 x 5 pixel letters for the HUD cells.
const std::map<char, std::array<const char*, 5>>& smallFont()
{
    static const std::map<char, std::array<const char*, 5>> font = {
        {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {'B', {"##.", "#.#", "##.", "#.#", "##."}},
        {'C', {".##", "#..", "#..", "#..", ".##"}}, {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
        {'E', {"###", "#..", "##.", "#..", "###"}}, {'F', {"###", "#..", "##.", "#..", "#.."}},
        {'G', {".##", "#..", "#.#", "#.#", ".##"}}, {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
        {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'J', {"..#", "..#", "..#", "#.#", ".#."}},
        {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}}, {'L', {"#..", "#..", "#..", "#..", "###"}},
        {'M', {"#.#", "###", "###", "#.#", "#.#"}}, {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}},
        {'O', {"###", "#.#", "#.#", "#.#", "###"}}, {'P', {"##.", "#.#", "##.", "#..", "#.."}},
        {'Q', {"###", "#.#", "#.#", "###", "..#"}}, {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
        {'S', {".##", "#..", ".#.", "..#", "##."}}, {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
        {'U', {"#.#", "#.#", "#.#", "#.#", "###"}}, {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
        {'W', {"#.#", "#.#", "###", "###", "#.#"}}, {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
        {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}}, {'Z', {"###", "..#", ".#.", "#..", "###"}},
        {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
        {'2', {"##.", "..#", ".#.", "#..", "###"}}, {'3', {"##.", "..#", ".#.", "..#", "##."}},
        {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "##.", "..#", "##."}},
        {'6', {".##", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", ".#.", ".#.", ".#."}},
        {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "##."}},
        {'.', {"...", "...", "...", "...", ".#."}}, {'-', {"...", "...", "###", "...", "..."}},
        {' ', {"...", "...", "...", "...", "..."}},
    };
    return font;
}

// Writes text in the 3 x 5 font, each letter 4 pixels apart, scaled by `scale`.
void smallText(sf::Image& img, int x, int y, const std::string& text, Color c, int scale = 1)
{
    for (char ch : text)
    {
        const auto it = smallFont().find(ch);
        if (it != smallFont().end())
            for (int r = 0; r < 5; ++r)
                for (int i = 0; i < 3; ++i)
                    if (it->second[static_cast<std::size_t>(r)][i] == '#')
                        fillRect(img, x + i * scale, y + r * scale, scale, scale, c);
        x += 4 * scale;
    }
}

// 5 x 7 capitals for the title.
const std::map<char, std::array<const char*, 7>>& bigFont()
{
    static const std::map<char, std::array<const char*, 7>> font = {
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    };
    return font;
}

// ---------------------------------------------------------------- grounds

struct Ground
{
    const char* name;
    std::function<Color(int x, int y)> interior; // x, y: 0..15, the pattern repeats every piece
    Color outline;                               // the outermost pixel of a border
    Color rim;                                   // the band just inside it
};

Color sandAt(int x, int y)
{
    Color c = jitter(Color(224, 198, 142), x, y, 11, 0.08f);
    if ((x + 2 * y) % 8 == 0)
        c = shade(c, 0.95f); // faint wind ripples
    const float n = rnd(x, y, 12);
    if (n < 0.05f)
        c = shade(c, 0.84f);
    else if (n > 0.965f)
        c = shade(c, 1.08f);
    return c;
}

Color waterAt(int x, int y)
{
    Color c = jitter(Color(58, 118, 196), x, y, 21, 0.05f);
    const int band = y / 4;
    const int phase = (x + band * 5) % 8;
    if (y % 4 == 1 && phase < 3)
        c = Color(122, 178, 232);
    else if (y % 4 == 2 && phase >= 1 && phase < 4)
        c = Color(84, 146, 214);
    else if (y % 4 == 3 && phase >= 4 && phase < 6)
        c = shade(c, 0.92f);
    return c;
}

Color cobbleAt(int x, int y)
{
    const int band = y / 8;
    const int lx = (x + 16 - band * 4) % 16;
    const int stone = lx / 8;
    const int u = lx % 8;
    const int v = y % 8;
    const Color mortar = jitter(Color(96, 92, 98), x, y, 31, 0.1f);
    if (u == 0 || v == 0)
        return mortar;
    if ((u == 1 || u == 7) && (v == 1 || v == 7))
        return mix(mortar, Color(140, 140, 146), 0.5f); // rounded stone corners
    Color c = shade(Color(150, 150, 158), 0.9f + 0.18f * rnd(band, stone, 32));
    if (u == 1 || v == 1)
        c = shade(c, 1.12f);
    else if (u == 7 || v == 7)
        c = shade(c, 0.84f);
    return jitter(c, x, y, 33, 0.08f);
}

Color dirtAt(int x, int y)
{
    Color c = jitter(Color(132, 92, 58), x, y, 41, 0.12f);
    const float n = rnd(x, y, 42);
    if (n < 0.04f)
        c = Color(168, 138, 104); // pebble
    else if (n > 0.94f)
        c = shade(c, 0.78f);
    return c;
}

Color snowAt(int x, int y)
{
    Color c = jitter(Color(236, 242, 250), x, y, 51, 0.03f);
    if (rnd(x / 2, y / 2, 52) < 0.18f)
        c = Color(218, 228, 244);
    if (rnd(x, y, 53) > 0.985f)
        c = Color(255, 255, 255);
    return c;
}

Color grassAt(int x, int y)
{
    Color c = jitter(Color(92, 164, 68), x, y, 61, 0.08f);
    if (rnd(x, y, 62) < 0.11f)
        return Color(70, 138, 52); // blade
    if (rnd(x, (y + 1) % 16, 62) < 0.11f)
        return Color(122, 190, 84); // its lit tip
    return c;
}

Color meadowAt(int x, int y)
{
    Color c = jitter(Color(104, 172, 74), x, y, 71, 0.08f);
    if (rnd(x, y, 72) < 0.08f)
        c = Color(80, 148, 58);
    struct Flower
    {
        int x, y;
        Color petal;
    };
    static const Flower flowers[] = {{3, 3, Color(232, 72, 72)},
                                     {11, 5, Color(250, 250, 250)},
                                     {6, 11, Color(122, 136, 240)},
                                     {13, 13, Color(250, 250, 250)}};
    for (const Flower& f : flowers)
    {
        const int dx = (x - f.x + 16) % 16;
        const int dy = (y - f.y + 16) % 16;
        if (dx == 0 && dy == 0)
            return Color(255, 220, 80);
        if ((dx == 1 && dy == 0) || (dx == 15 && dy == 0) || (dx == 0 && dy == 1) || (dx == 0 && dy == 15))
            return f.petal;
        if (dx == 1 && dy == 1)
            return shade(c, 0.85f); // a little shadow below right
    }
    return c;
}

Color planksAt(int x, int y)
{
    const int row = y / 4;
    const int v = y % 4;
    if (v == 3)
        return Color(92, 60, 34);
    const int seam = (row * 7 + 3) % 16;
    if (x == seam)
        return Color(104, 68, 38);
    Color c = shade(Color(178, 126, 74), 0.92f + 0.14f * rnd(row, 0, 81));
    c = shade(c, 0.95f + 0.08f * rnd(x / 3, y, 82)); // grain streaks
    if (v == 0)
        c = shade(c, 1.07f);
    if (v == 1 && x == (seam + 2) % 16)
        c = Color(84, 64, 50); // a nail head near the joint
    return jitter(c, x, y, 83, 0.05f);
}

Color lavaAt(int x, int y)
{
    const float fx = 2.0f * Pi * x / 16.0f;
    const float fy = 2.0f * Pi * y / 16.0f;
    const float f = std::sin(fx + 1.5f * std::sin(fy)) + 0.8f * std::sin(2.0f * fy + 1.2f * std::cos(fx));
    Color c;
    if (f > 1.1f)
        c = Color(255, 222, 96);
    else if (f > 0.45f)
        c = Color(244, 128, 34);
    else if (f > -0.6f)
        c = Color(190, 56, 24);
    else
        c = Color(92, 34, 26);
    return jitter(c, x, y, 91, 0.08f);
}

const std::vector<Ground>& grounds()
{
    static const std::vector<Ground> list = {
        {"sand", sandAt, Color(164, 128, 80), Color(204, 174, 120)},
        {"water", waterAt, Color(40, 78, 140), Color(168, 212, 240)},
        {"cobblestone", cobbleAt, Color(62, 60, 68), Color(118, 116, 124)},
        {"dirt", dirtAt, Color(78, 50, 30), Color(108, 74, 44)},
        {"snow", snowAt, Color(142, 158, 186), Color(206, 218, 238)},
        {"grass", grassAt, Color(60, 118, 44), Color(78, 144, 56)},
        {"flower meadow", meadowAt, Color(62, 118, 46), Color(86, 152, 62)},
        {"wooden planks", planksAt, Color(74, 46, 24), Color(128, 88, 50)},
        {"lava", lavaAt, Color(52, 22, 18), Color(255, 196, 70)},
    };
    return list;
}

// One row of the piece table: which neighbours continue the ground, and where
// the matching piece lies on the sheet.
struct PieceSpec
{
    bool up, down, right, left;
    int sheetX, sheetY;
};

// Every combination with its piece, from the game's own table.
const std::array<PieceSpec, 16> PieceTable = [] {
    std::array<PieceSpec, 16> table{};
    for (int key = 0; key < 16; ++key)
    {
        const PieceCorner corner = AutoTilePieces[static_cast<std::size_t>(key)];
        table[static_cast<std::size_t>(key)] = {(key & 8) != 0, (key & 4) != 0, (key & 2) != 0, (key & 1) != 0,
                                                corner.left, corner.top};
    }
    return table;
}();

// Distance in pixels from a pixel centre to the outline of the painted shape
// (negative outside): straight along every side whose neighbour differs,
// rounded where two such sides meet.
float borderDistance(int x, int y, const PieceSpec& s)
{
    constexpr float Radius = 4.0f;
    const float px = x + 0.5f;
    const float py = y + 0.5f;
    const bool top = !s.up, bottom = !s.down, left = !s.left, right = !s.right;
    float d = 99.0f;
    if (top)
        d = std::min(d, py);
    if (bottom)
        d = std::min(d, Piece - py);
    if (left)
        d = std::min(d, px);
    if (right)
        d = std::min(d, Piece - px);
    auto corner = [&](bool a, bool b, bool inX, bool inY, float cx, float cy) {
        if (a && b && inX && inY)
            d = std::min(d, Radius - std::hypot(px - cx, py - cy));
    };
    corner(top, left, px < Radius, py < Radius, Radius, Radius);
    corner(top, right, px > Piece - Radius, py < Radius, Piece - Radius, Radius);
    corner(bottom, left, px < Radius, py > Piece - Radius, Radius, Piece - Radius);
    corner(bottom, right, px > Piece - Radius, py > Piece - Radius, Piece - Radius, Piece - Radius);
    return d;
}

void paintPiece(sf::Image& sheet, const Ground& g, const PieceSpec& s, std::uint32_t seed)
{
    for (int y = 0; y < Piece; ++y)
        for (int x = 0; x < Piece; ++x)
        {
            const float d = borderDistance(x, y, s);
            Color c;
            if (d < 0.0f)
                c = Clear; // the under layer shows through here
            else if (d < 1.0f)
                c = jitter(g.outline, x, y, seed, 0.08f);
            else if (d < 2.0f)
                c = jitter(g.rim, x, y, seed + 1, 0.06f);
            else if (d < 3.0f)
                c = mix(g.interior(x, y), g.rim, 0.35f);
            else
                c = g.interior(x, y);
            put(sheet, s.sheetX + x, s.sheetY + y, c);
        }
}

// The 80 x 80 sheet of one ground type: the pieces, interior in the unused
// cells, and the palette swatch at (64, 64).
sf::Image groundSheet(const Ground& g, std::uint32_t seed)
{
    sf::Image sheet = blank(80, 80);
    for (int cy = 0; cy < 5; ++cy)
        for (int cx = 0; cx < 5; ++cx)
            for (int y = 0; y < Piece; ++y)
                for (int x = 0; x < Piece; ++x)
                    put(sheet, cx * Piece + x, cy * Piece + y, g.interior(x, y));
    for (const PieceSpec& s : PieceTable)
        paintPiece(sheet, g, s, seed);
    // Palette swatch: only its left 8 columns show in most slots, so the frame
    // is darkest on the left where it separates it from the slot before.
    for (int i = 0; i < Piece; ++i)
    {
        put(sheet, 64 + i, 64, g.outline);
        put(sheet, 64 + i, 79, g.outline);
        put(sheet, 79, 64 + i, g.outline);
        put(sheet, 64, 64 + i, shade(g.outline, 0.7f));
    }
    return sheet;
}

// ---------------------------------------------------------------- objects

struct ObjectDef
{
    int width, height;                     // fields
    int topOffset, leftOffset;             // collision box offsets, pixels
    int heightReduction, widthReduction;   // pixels
    int anchor;                            // column of the picture on the carrying field
    std::string message;
};

sf::Image treeTexture()
{
    sf::Image img = blank(32, 48);
    // Shadow on the ground under the crown and at the foot.
    blendEllipse(img, 21.5f, 44.5f, 9.0f, 2.6f, Color(20, 40, 20, 90));
    // Trunk with roots, lit from the left.
    for (int y = 26; y <= 45; ++y)
    {
        const int flare = y >= 42 ? (y - 41) : 0;
        for (int x = 18 - flare; x <= 25 + flare; ++x)
        {
            const float t = (x - (18 - flare)) / float(7 + 2 * flare);
            Color c = t < 0.3f ? Color(140, 96, 58) : (t < 0.75f ? Color(112, 74, 44) : Color(82, 54, 34));
            if ((x * 3 + y / 3) % 7 == 0)
                c = shade(c, 0.8f); // bark grooves
            put(img, x, y, jitter(c, x, y, 101, 0.08f));
        }
    }
    // Crown: overlapping leafy balls, each lit from the upper left.
    struct Ball
    {
        float cx, cy, r;
    };
    const Ball balls[] = {{12.0f, 20.0f, 7.5f}, {26.0f, 21.0f, 5.0f}, {19.0f, 25.0f, 7.5f}, {20.0f, 13.0f, 10.5f}};
    const Color tones[] = {Color(36, 92, 40), Color(52, 124, 48), Color(74, 154, 58), Color(112, 186, 76)};
    for (const Ball& b : balls)
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 32; ++x)
            {
                const float nx = (x + 0.5f - b.cx) / b.r;
                const float ny = (y + 0.5f - b.cy) / b.r;
                if (nx * nx + ny * ny > 1.0f)
                    continue;
                // Leaf clumps: noise on a 2 x 2 grid breaks up the shading bands.
                const float l = sphereLight(nx, ny) + (rnd(x / 2, y / 2, 102) - 0.5f) * 0.45f;
                const int tone = l > 0.75f ? 3 : (l > 0.35f ? 2 : (l > -0.05f ? 1 : 0));
                put(img, x, y, jitter(tones[tone], x, y, 103, 0.06f));
            }
    // Darker gaps between the leaf clumps.
    const int holes[][2] = {{14, 9}, {24, 15}, {9, 22}, {17, 19}, {25, 24}};
    for (auto& h : holes)
    {
        put(img, h[0], h[1], tones[0]);
        put(img, h[0] + 1, h[1], tones[0]);
    }
    outline(img, Color(26, 44, 24), 0, 0, 32, 46);
    return img;
}

sf::Image signTexture()
{
    sf::Image img = blank(16, 16);
    blendEllipse(img, 8.0f, 14.5f, 4.5f, 1.4f, Color(20, 30, 20, 90));
    const Color wood(182, 130, 78), woodDark(140, 96, 56), post(118, 80, 46);
    fillRect(img, 7, 9, 2, 6, post);
    put(img, 8, 9, shade(post, 0.8f));
    for (int y = 2; y <= 8; ++y)
        for (int x = 1; x <= 14; ++x)
        {
            Color c = (y == 5) ? woodDark : wood;
            if (y == 2)
                c = shade(wood, 1.1f);
            put(img, x, y, jitter(c, x, y, 111, 0.08f));
        }
    // Writing on the board.
    for (int x : {3, 4, 5, 7, 8, 10, 11, 12})
        put(img, x, 4, Color(70, 44, 28));
    for (int x : {3, 4, 6, 7, 8, 9, 11})
        put(img, x, 7, Color(70, 44, 28));
    outline(img, Color(52, 34, 22), 0, 0, 16, 15);
    return img;
}

sf::Image rockTexture()
{
    sf::Image img = blank(16, 16);
    blendEllipse(img, 8.5f, 13.8f, 6.5f, 1.8f, Color(20, 30, 20, 90));
    const Color tones[] = {Color(88, 88, 98), Color(122, 122, 132), Color(156, 156, 164), Color(192, 192, 198)};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const float nx = (x + 0.5f - 8.0f) / 6.2f;
            const float ny = (y + 0.5f - 9.0f) / 5.0f;
            if (nx * nx + ny * ny > 1.0f || y > 13)
                continue;
            const float l = sphereLight(nx, ny) + (rnd(x, y, 121) - 0.5f) * 0.3f;
            Color c = tones[l > 0.8f ? 3 : (l > 0.4f ? 2 : (l > 0.0f ? 1 : 0))];
            // Moss on the top.
            if (ny < -0.45f && rnd(x / 2, y, 122) < 0.7f)
                c = (l > 0.6f) ? Color(120, 172, 80) : Color(84, 136, 60);
            put(img, x, y, jitter(c, x, y, 123, 0.06f));
        }
    put(img, 9, 10, tones[0]); // a crack
    put(img, 10, 11, tones[0]);
    put(img, 10, 12, tones[0]);
    outline(img, Color(44, 44, 52), 0, 0, 16, 15);
    return img;
}

sf::Image bushTexture()
{
    sf::Image img = blank(16, 16);
    blendEllipse(img, 8.0f, 14.0f, 6.5f, 1.6f, Color(20, 30, 20, 90));
    const Color tones[] = {Color(34, 90, 44), Color(50, 122, 54), Color(72, 152, 64), Color(110, 184, 82)};
    struct Ball
    {
        float cx, cy, r;
    };
    const Ball balls[] = {{5.0f, 9.5f, 4.0f}, {11.0f, 9.5f, 4.0f}, {8.0f, 6.5f, 4.8f}};
    for (const Ball& b : balls)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
            {
                const float nx = (x + 0.5f - b.cx) / b.r;
                const float ny = (y + 0.5f - b.cy) / b.r;
                if (nx * nx + ny * ny > 1.0f || y > 13)
                    continue;
                const float l = sphereLight(nx, ny) + (rnd(x, y, 131) - 0.5f) * 0.35f;
                put(img, x, y, tones[l > 0.75f ? 3 : (l > 0.35f ? 2 : (l > -0.05f ? 1 : 0))]);
            }
    const int berries[][2] = {{5, 8}, {10, 6}, {12, 10}, {7, 11}, {4, 11}};
    for (auto& b : berries)
    {
        put(img, b[0], b[1], Color(206, 40, 62));
        put(img, b[0], b[1] - 1, Color(255, 140, 150));
    }
    outline(img, Color(24, 50, 28), 0, 0, 16, 15);
    return img;
}

sf::Image houseTexture()
{
    sf::Image img = blank(48, 48);
    blendEllipse(img, 24.0f, 45.5f, 23.0f, 2.5f, Color(20, 30, 20, 90));
    // Chimney.
    fillRect(img, 33, 3, 5, 10, Color(150, 84, 66));
    fillRect(img, 32, 2, 7, 2, Color(110, 64, 52));
    // Walls: plaster between dark timbers.
    for (int y = 22; y <= 44; ++y)
        for (int x = 3; x <= 44; ++x)
        {
            Color c = jitter(Color(236, 220, 186), x, y, 141, 0.05f);
            if (x == 3 || x == 44 || x == 23 || x == 24 || y == 22 || y == 44 || y == 31)
                c = jitter(Color(112, 72, 44), x, y, 142, 0.08f);
            put(img, x, y, c);
        }
    // Stone footing.
    for (int x = 3; x <= 44; ++x)
        for (int y = 42; y <= 44; ++y)
            put(img, x, y, cobbleAt(x * 2 % 16, (y * 3) % 16));
    // Windows with shutters.
    for (int wx : {8, 33})
    {
        fillRect(img, wx - 2, 25, 2, 8, Color(64, 120, 72));
        fillRect(img, wx + 7, 25, 2, 8, Color(64, 120, 72));
        fillRect(img, wx, 25, 7, 8, Color(70, 48, 32));
        fillRect(img, wx + 1, 26, 5, 6, Color(120, 180, 220));
        fillRect(img, wx + 1, 26, 2, 2, Color(200, 232, 250));
        fillRect(img, wx + 3, 26, 1, 6, Color(70, 48, 32));
        fillRect(img, wx + 1, 28, 5, 1, Color(70, 48, 32));
        fillRect(img, wx - 1, 33, 9, 1, Color(112, 72, 44));
        put(img, wx + 1, 34, Color(232, 80, 80)); // flowers in the window box
        put(img, wx + 4, 34, Color(250, 220, 90));
    }
    // Door.
    for (int y = 32; y <= 44; ++y)
        for (int x = 19; x <= 28; ++x)
        {
            const bool arch = y == 32 && (x == 19 || x == 28);
            if (arch)
                continue;
            Color c = (x == 19 || x == 28 || y == 32) ? Color(70, 44, 28) : Color(150, 96, 54);
            if (x == 23 || x == 24)
                c = shade(c, 0.85f);
            put(img, x, y, jitter(c, x, y, 143, 0.06f));
        }
    put(img, 26, 38, Color(240, 200, 80)); // door knob
    fillRect(img, 18, 45, 12, 1, Color(150, 150, 158)); // door step
    // Roof: red tiles, wider than the walls, lit on the left slope.
    for (int y = 4; y <= 23; ++y)
    {
        const int half = 6 + (y - 4) * 9 / 8; // grows downward to an overhang
        const int left = std::max(0, 24 - half);
        const int right = std::min(47, 23 + half);
        for (int x = left; x <= right; ++x)
        {
            Color c = x < 24 ? Color(196, 84, 62) : Color(160, 64, 50);
            if ((y - 4) % 4 == 3)
                c = shade(c, 0.78f); // tile rows
            else if (((x + ((y - 4) / 4) * 2) % 4) == 0)
                c = shade(c, 0.88f); // tile joints
            if (y == 23)
                c = Color(98, 44, 36);
            put(img, x, y, jitter(c, x, y, 144, 0.06f));
        }
    }
    fillRect(img, 20, 3, 8, 2, Color(120, 52, 40)); // ridge
    outline(img, Color(48, 30, 24), 0, 0, 48, 46);
    return img;
}

// ---------------------------------------------------------------- player

const std::map<char, Color>& playerPalette()
{
    static const std::map<char, Color> p = {
        {'k', Color(40, 28, 30)},   {'h', Color(118, 70, 38)},  {'H', Color(164, 104, 56)},
        {'s', Color(246, 204, 164)}, {'S', Color(214, 160, 122)}, {'e', Color(30, 30, 52)},
        {'c', Color(58, 110, 196)},  {'C', Color(38, 78, 150)},  {'b', Color(112, 72, 40)},
        {'y', Color(244, 206, 84)},  {'p', Color(86, 74, 64)},   {'P', Color(62, 52, 46)},
        {'o', Color(96, 60, 36)},
    };
    return p;
}

// The four still frames, 16 columns wide, rows 8..31 of the 32 x 32 frame.
const std::vector<std::string> PlayerDown = {
    ".....kkkkkk.....", "....khHHHhhk....", "...khHHhhhhhk...", "...khhhhhhhhk...",
    "...khshhhhshk...", "...kssssssssk...", "...ksessssesk...", "...kssssssssk...",
    "....kssSSssk....", "...kkkkSSkkkk...", "..kCccccccccCk..", "..kCccccccccCk..",
    "..kCccccccccCk..", "..kCccccccccCk..", "..ksbbbybbbbsk..", "..kskccccccksk..",
    "...kCccccccCk...", "....kkkkkkkk....", "....kppkkppk....", "....kppkkppk....",
    "....kPpkkPpk....", "....kookkook....", "...koookkoook...", "...kkkkkkkkkk...",
};
const std::vector<std::string> PlayerUp = {
    ".....kkkkkk.....", "....khHHHhhk....", "...khHHhhhhhk...", "...khhHhhhhhk...",
    "...khhhhhhhhk...", "...khhhhhhhhk...", "...khhhhhhhhk...", "...kShhhhhhSk...",
    "....kShhhhSk....", "...kkkkSSkkkk...", "..kCccccccccCk..", "..kCccccccccCk..",
    "..kCccccccccCk..", "..kCccccccccCk..", "..ksbbbbbbbbsk..", "..kskccccccksk..",
    "...kCccccccCk...", "....kkkkkkkk....", "....kppkkppk....", "....kppkkppk....",
    "....kPpkkPpk....", "....kookkook....", "...koookkoook...", "...kkkkkkkkkk...",
};
const std::vector<std::string> PlayerRight = {
    ".....kkkkkk.....", "....khHHHhhk....", "...khhHHhhhhk...", "...khhhhhhhhk...",
    "...khhhhhsssk...", "...khhhhssssk...", "...khhhhssesk...", "...khhhsssssk...",
    "....khSssssk....", ".....kkSSkkk....", "....kccCcck.....", "....kccCcck.....",
    "....kccCcck.....", "....kccCcck.....", "....kbbsbbk.....", "....kccccck.....",
    "....kCcccCk.....", "....kkkkkkk.....", ".....kppkk......", ".....kppPk......",
    ".....kPppk......", ".....kooook.....", ".....koooook....", ".....kkkkkkk....",
};

sf::Image playerTexture()
{
    sf::Image img = blank(32, 256);
    const std::vector<std::string>* frames[] = {&PlayerDown, &PlayerUp, &PlayerRight, &PlayerRight};
    for (int grassy = 0; grassy < 2; ++grassy)
        for (int f = 0; f < 4; ++f)
        {
            const int top = (grassy * 4 + f) * 32;
            art(img, 0, top + 8, *frames[f], playerPalette(), f == 3);
            if (!grassy)
                continue;
            // Standing in grass: blades in front of the feet.
            const Color blades[] = {Color(70, 138, 52), Color(92, 164, 68), Color(122, 190, 84)};
            for (int x = 2; x <= 13; ++x)
            {
                const int h = 1 + static_cast<int>(hash3(x, f, 151) % 4); // 1..4 pixels tall
                for (int k = 0; k < h; ++k)
                {
                    const Color c = k == h - 1 ? blades[2] : blades[(x + k) % 2];
                    put(img, x, top + 31 - k, c);
                }
            }
        }
    return img;
}

// ---------------------------------------------------------------- HUD

void plate(sf::Image& img, int x0, int y0, int w, int h, Color fill, Color border)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
        {
            const bool edgeX = x == x0 || x == x0 + w - 1;
            const bool edgeY = y == y0 || y == y0 + h - 1;
            if (edgeX && edgeY)
                continue; // rounded corner
            put(img, x, y, edgeX || edgeY ? border : fill);
        }
}

sf::Image editorTexture()
{
    sf::Image img = blank(16, 16);
    const Color shadow(0, 0, 0, 150), frame(255, 236, 120), corner(255, 255, 255);
    for (int i = 0; i < 16; ++i)
    {
        put(img, i, 0, frame);
        put(img, i, 15, frame);
        put(img, 0, i, frame);
        put(img, 15, i, frame);
    }
    for (int i = 1; i < 15; ++i)
    {
        put(img, i, 1, shadow);
        put(img, i, 14, shadow);
        put(img, 1, i, shadow);
        put(img, 14, i, shadow);
    }
    // White corner brackets make the cursor stand out on bright ground too.
    for (int i = 0; i < 4; ++i)
        for (auto [cx, cy, dx, dy] : {std::array<int, 4>{0, 0, 1, 1}, std::array<int, 4>{15, 0, -1, 1},
                                      std::array<int, 4>{0, 15, 1, -1}, std::array<int, 4>{15, 15, -1, -1}})
        {
            put(img, cx + dx * i, cy, corner);
            put(img, cx, cy + dy * i, corner);
        }
    return img;
}

sf::Image uiTexture()
{
    sf::Image img = blank(96, 64);
    const Color darkFill(24, 28, 36, 210);

    // Editor on / off: a lamp and "ED".
    plate(img, 0, 0, 16, 8, Color(22, 44, 28, 220), Color(120, 220, 120));
    plate(img, 0, 8, 16, 8, darkFill, Color(96, 96, 104));
    auto lamp = [&](int y, Color rim, Color body, Color glint) {
        fillRect(img, 2, y + 2, 3, 3, body);
        for (auto [x, yy] : {std::pair{2, 2}, std::pair{4, 2}, std::pair{2, 4}, std::pair{4, 4}})
            put(img, x, y + yy, rim);
        put(img, 3, y + 3, glint);
    };
    lamp(0, Color(40, 150, 40), Color(90, 230, 90), Color(220, 255, 220));
    lamp(8, Color(60, 60, 64), Color(96, 96, 100), Color(130, 130, 134));
    smallText(img, 7, 1, "ED", Color(200, 255, 200));
    smallText(img, 7, 9, "ED", Color(128, 128, 134));

    // Ground marker: a bright frame over the top 8 x 8 of a palette slot.
    for (int i = 0; i < 8; ++i)
    {
        put(img, 16 + i, 0, Color(255, 230, 70));
        put(img, 16 + i, 7, Color(255, 230, 70));
        put(img, 16, i, Color(255, 230, 70));
        put(img, 23, i, Color(255, 230, 70));
    }
    for (int i = 1; i < 7; ++i)
    {
        put(img, 16 + i, 1, Color(0, 0, 0, 140));
        put(img, 17, i, Color(0, 0, 0, 140));
    }
    put(img, 16, 0, Color(255, 255, 255));
    put(img, 23, 0, Color(255, 255, 255));

    // Layer indicators: two stacked bars, the painted one lit, and "GR" / "UN".
    const Color lit(255, 224, 96), dim(90, 92, 100);
    for (int row = 0; row < 2; ++row)
    {
        const int y = row * 8;
        plate(img, 32, y, 16, 8, darkFill, Color(150, 150, 160));
        fillRect(img, 34, y + 2, 4, 1, row == 0 ? lit : dim);
        fillRect(img, 34, y + 5, 4, 1, row == 1 ? lit : dim);
        smallText(img, 39, y + 1, row == 0 ? "GR" : "UN", Color(236, 236, 240));
    }

    // Mode indicators: paint, object, and (at 64, 0) solid.
    plate(img, 48, 0, 16, 8, darkFill, Color(220, 190, 80));
    smallText(img, 50, 1, "PNT", Color(255, 222, 96));
    plate(img, 48, 8, 16, 8, darkFill, Color(110, 200, 100));
    smallText(img, 50, 9, "OBJ", Color(150, 236, 130));
    plate(img, 64, 0, 16, 8, darkFill, Color(220, 100, 90));
    smallText(img, 66, 1, "SOL", Color(255, 136, 120));

    // Object panel: a wooden frame around a dark checkered field.
    for (int y = 16; y < 64; ++y)
        for (int x = 0; x < 48; ++x)
        {
            const int u = x, v = y - 16;
            const int ring = std::min(std::min(u, v), std::min(47 - u, 47 - v));
            const bool cornerCut = (u == 0 || u == 47) && (v == 0 || v == 47);
            Color c;
            if (cornerCut)
                c = Clear;
            else if (ring == 0)
                c = Color(42, 28, 20);
            else if (ring == 1)
                c = Color(196, 146, 90);
            else if (ring == 2)
                c = Color(150, 104, 62);
            else if (ring == 3)
                c = Color(42, 28, 20);
            else
                c = ((u / 4 + v / 4) % 2) ? Color(40, 46, 60, 220) : Color(48, 56, 72, 220);
            if (ring >= 1 && ring <= 2)
                c = jitter(c, x, y, 161, 0.1f);
            put(img, x, y, c);
        }
    return img;
}

// ---------------------------------------------------------------- items, icon

sf::Image appleTexture()
{
    sf::Image img = blank(16, 16);
    const Color tones[] = {Color(140, 24, 36), Color(196, 40, 48), Color(232, 72, 64), Color(255, 170, 150)};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const float nx = (x + 0.5f - 8.0f) / 5.6f;
            const float ny = (y + 0.5f - 9.5f) / 5.0f;
            if (nx * nx + ny * ny > 1.0f)
                continue;
            const float l = sphereLight(nx, ny);
            put(img, x, y, tones[l > 0.9f ? 3 : (l > 0.45f ? 2 : (l > 0.0f ? 1 : 0))]);
        }
    roundOff(img);
    put(img, 8, 5, Color(140, 24, 36)); // dimple
    fillRect(img, 8, 2, 1, 3, Color(100, 66, 36));
    fillRect(img, 9, 2, 3, 2, Color(88, 170, 70));
    put(img, 10, 1, Color(88, 170, 70));
    outline(img, Color(60, 16, 20));
    return img;
}

sf::Image keyTexture()
{
    sf::Image img = blank(16, 16);
    const Color gold(236, 190, 64), light(255, 236, 150), dark(176, 126, 36);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const float d = std::hypot(x + 0.5f - 4.5f, y + 0.5f - 8.0f);
            if (d <= 3.6f && d >= 1.6f)
                put(img, x, y, (x + y < 11) ? light : gold);
        }
    fillRect(img, 8, 7, 7, 2, gold);
    fillRect(img, 8, 7, 7, 1, light);
    fillRect(img, 11, 9, 1, 2, dark);
    fillRect(img, 13, 9, 2, 3, dark);
    outline(img, Color(84, 56, 20));
    return img;
}

sf::Image coinTexture()
{
    sf::Image img = blank(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const float nx = (x + 0.5f - 8.0f) / 6.0f;
            const float ny = (y + 0.5f - 8.0f) / 6.0f;
            const float r = nx * nx + ny * ny;
            if (r > 1.0f)
                continue;
            Color c = r > 0.62f ? Color(220, 168, 48) : Color(246, 206, 84);
            if (r > 0.62f && nx + ny < -0.4f)
                c = Color(255, 236, 150);
            put(img, x, y, c);
        }
    // A star stamped in the middle.
    for (auto [x, y] : {std::pair{7, 5}, {8, 5}, {7, 6}, {8, 6}, {5, 7}, {6, 7}, {7, 7}, {8, 7}, {9, 7}, {10, 7},
                        {6, 8}, {7, 8}, {8, 8}, {9, 8}, {6, 9}, {9, 9}, {5, 10}, {10, 10}})
        put(img, x, y, Color(196, 140, 36));
    roundOff(img);
    outline(img, Color(100, 66, 20));
    return img;
}

sf::Image potionTexture()
{
    sf::Image img = blank(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const float nx = (x + 0.5f - 8.0f) / 5.5f;
            const float ny = (y + 0.5f - 10.0f) / 4.8f;
            if (nx * nx + ny * ny > 1.0f)
                continue;
            Color c = y >= 9 ? Color(170, 60, 200) : Color(200, 226, 240);
            if (y >= 9 && sphereLight(nx, ny) > 0.7f)
                c = Color(222, 130, 240);
            if (y == 9)
                c = Color(226, 150, 246);
            put(img, x, y, c);
        }
    fillRect(img, 6, 3, 4, 3, Color(200, 226, 240));
    fillRect(img, 6, 1, 4, 2, Color(150, 100, 60));
    put(img, 5, 9, Color(255, 255, 255));
    put(img, 5, 8, Color(255, 255, 255));
    put(img, 6, 7, Color(255, 255, 255));
    roundOff(img);
    outline(img, Color(46, 30, 60));
    return img;
}

// The window icon: a quill lying on the diagonal, its nib at the lower left.
sf::Image iconTexture()
{
    sf::Image img = blank(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const int t = x - y;      // along the shaft: -13 at the nib .. 11 at the top
            const int p = x + y - 15; // across it: negative on the upper left
            if (t < -12 || t > 11)
                continue;
            if (t < -6)
            {
                if (p == 0)
                    put(img, x, y, t <= -10 ? Color(34, 34, 56) : Color(224, 204, 146));
                continue;
            }
            const float k = std::pow(std::sin(Pi * (t + 6.5f) / 18.5f), 0.6f);
            const int wide = static_cast<int>(std::lround(4.2f * k));
            const int narrow = static_cast<int>(std::lround(2.0f * k));
            if (p < -wide || p > narrow)
                continue;
            if (p < 0 && (t == 2 || t == 3) && p <= -wide + 1)
                continue; // a notch in the vane
            Color c = p < 0 ? Color(250, 250, 255) : Color(190, 206, 238);
            if (p == 0)
                c = Color(230, 214, 170); // the shaft
            else if (((t - 2 * p) % 5 + 5) % 5 == 0)
                c = shade(c, 0.86f); // barbs
            put(img, x, y, c);
        }
    outline(img, Color(36, 44, 86));
    return img;
}

// ---------------------------------------------------------------- title

void stamp(sf::Image& dst, const sf::Image& src, int x, int y, sf::IntRect rect = {})
{
    if (rect.width == 0)
        rect = sf::IntRect(0, 0, static_cast<int>(src.getSize().x), static_cast<int>(src.getSize().y));
    for (int v = 0; v < rect.height; ++v)
        for (int u = 0; u < rect.width; ++u)
        {
            const Color c = get(src, rect.left + u, rect.top + v);
            if (c.a)
                blend(dst, x + u, y + v, c);
        }
}

sf::Image titleScreen(const std::vector<sf::Image>& sheets, const std::vector<sf::Image>& objects,
                      const sf::Image& player)
{
    sf::Image img = blank(320, 192);
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    // Sky: flat bands joined by short dithered seams (small file, no banding).
    const Color sky[] = {Color(84, 140, 214), Color(110, 166, 228), Color(146, 194, 238), Color(190, 222, 246)};
    constexpr int BandHeight = 34, Seam = 8;
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 320; ++x)
        {
            const int band = std::min(3, y / BandHeight);
            const int into = y - band * BandHeight; // rows into this band
            bool next = false;
            if (band < 3 && into >= BandHeight - Seam)
                next = (into - (BandHeight - Seam)) * 2 > bayer[y % 4][x % 4];
            put(img, x, y, sky[band + (next ? 1 : 0)]);
        }
    // Sun and clouds.
    blendEllipse(img, 262.0f, 34.0f, 15.0f, 15.0f, Color(255, 244, 200, 90));
    blendEllipse(img, 262.0f, 34.0f, 11.0f, 11.0f, Color(255, 236, 150));
    const float clouds[][3] = {{40, 30, 1.0f}, {130, 18, 0.8f}, {200, 56, 0.7f}, {300, 76, 0.6f}};
    for (auto& c : clouds)
    {
        const float s = c[2];
        blendEllipse(img, c[0], c[1] + 4 * s, 22 * s, 6 * s, Color(222, 234, 246));
        blendEllipse(img, c[0] - 8 * s, c[1], 10 * s, 8 * s, Color(250, 252, 255));
        blendEllipse(img, c[0] + 6 * s, c[1] - 3 * s, 12 * s, 10 * s, Color(250, 252, 255));
        blendEllipse(img, c[0] + 16 * s, c[1] + 2 * s, 8 * s, 6 * s, Color(250, 252, 255));
    }
    // Hills, far and near.
    for (int x = 0; x < 320; ++x)
    {
        const int far = 104 + static_cast<int>(10 * std::sin(x * 0.021f + 1.0f) + 6 * std::sin(x * 0.05f));
        const int near = 122 + static_cast<int>(8 * std::sin(x * 0.013f + 2.5f) + 4 * std::sin(x * 0.041f + 0.7f));
        for (int y = far; y < 192; ++y)
            put(img, x, y, Color(118, 170, 150));
        for (int y = near; y < 192; ++y)
            put(img, x, y, Color(84, 150, 86));
    }
    // Grass land made of the game's own ground pieces.
    const int groundTop = 144;
    for (int y = groundTop; y < 192; ++y)
        for (int x = 0; x < 320; ++x)
            put(img, x, y, get(sheets[5], x % 16, (y - groundTop) % 16));
    // A sandy path and a pond.
    auto piece = [&](int type, int fx, int fy, int sx, int sy) {
        stamp(img, sheets[static_cast<std::size_t>(type)], fx * 16, groundTop + fy * 16, {sx, sy, 16, 16});
    };
    piece(0, 9, 0, 0, 32);
    piece(0, 9, 1, 64, 48);
    piece(0, 9, 2, 64, 48);
    piece(1, 15, 1, 16, 0);
    piece(1, 16, 1, 48, 0);
    piece(1, 17, 1, 32, 0);
    piece(1, 15, 2, 16, 16);
    piece(1, 16, 2, 48, 16);
    piece(1, 17, 2, 32, 16);
    // Objects standing on it.
    stamp(img, objects[1], 16, groundTop - 16);
    stamp(img, objects[1], 272, groundTop);
    stamp(img, objects[5], 96, groundTop - 28);
    stamp(img, objects[2], 176, groundTop + 8);
    stamp(img, objects[4], 48, groundTop + 24);
    stamp(img, objects[3], 232, groundTop + 26);
    stamp(img, player, 152, groundTop + 4, {0, 0, 32, 32});

    // QUILLORA in big letters with a dark outline and a drop shadow.
    const std::string name = "QUILLORA";
    constexpr int Scale = 5;
    const int width = static_cast<int>(name.size()) * 6 * Scale - Scale;
    const int x0 = (320 - width) / 2, y0 = 34;
    sf::Image letters = blank(320, 192);
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        const auto& glyph = bigFont().at(name[i]);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (glyph[static_cast<std::size_t>(r)][c] == '#')
                    for (int v = 0; v < Scale; ++v)
                        for (int u = 0; u < Scale; ++u)
                        {
                            const int x = x0 + static_cast<int>(i) * 6 * Scale + c * Scale + u;
                            const int y = y0 + r * Scale + v;
                            // Gold, lighter at the top of each stroke row.
                            const float t = (y - y0) / float(7 * Scale);
                            Color col = mix(Color(255, 238, 140), Color(236, 146, 40), t);
                            if (v == 0)
                                col = shade(col, 1.1f);
                            put(letters, x, y, col);
                        }
    }
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 320; ++x)
            if (get(letters, x, y).a)
                for (int k = 1; k <= 4; ++k)
                    blend(img, x + k, y + k, Color(20, 30, 60, 40));
    outline(letters, Color(70, 34, 20));
    outline(letters, Color(70, 34, 20));
    stamp(img, letters, 0, 0);
    const std::string motto = "A TINY WORLD TO WANDER AND SHAPE";
    const int mottoX = (320 - static_cast<int>(motto.size()) * 4) / 2;
    smallText(img, mottoX + 1, 82, motto, Color(40, 60, 110));
    smallText(img, mottoX, 81, motto, Color(255, 255, 255));
    smallText(img, 271, 184, "INDEV 0.0.6", Color(255, 255, 255));
    return img;
}

// ---------------------------------------------------------------- output

bool save(const sf::Image& img, const std::filesystem::path& path)
{
    if (!img.saveToFile(path.string()))
    {
        std::cerr << "assetgen: cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

bool writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
    {
        std::cerr << "assetgen: cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

std::string objectFileText(const ObjectDef& d)
{
    std::string s;
    for (int v : {d.width, d.height, d.topOffset, d.leftOffset, d.heightReduction, d.widthReduction, d.anchor})
        s += std::to_string(v) + "\n";
    return s + d.message + "\n";
}

sf::Image scaled(const sf::Image& src, int factor)
{
    const int w = static_cast<int>(src.getSize().x), h = static_cast<int>(src.getSize().y);
    sf::Image out = blank(w * factor, h * factor);
    for (int y = 0; y < h * factor; ++y)
        for (int x = 0; x < w * factor; ++x)
            put(out, x, y, get(src, x / factor, y / factor));
    return out;
}

// A checkered backdrop so that transparency shows in the contact sheet.
sf::Image checker(int w, int h)
{
    sf::Image img = blank(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            put(img, x, y, ((x / 4 + y / 4) % 2) ? Color(150, 150, 160) : Color(190, 190, 200));
    return img;
}

// Draws the scene of a small map the way the game composes it: under layer,
// auto-tiled ground pieces, objects sorted by their row, the player, the HUD.
// With `sameTypeOnly` a neighbour matches only by its ground type; otherwise
// also by its under layer, as the field map does.
sf::Image worldPreview(const std::vector<sf::Image>& sheets, const std::vector<sf::Image>& objTex,
                       const std::vector<ObjectDef>& objDefs, const sf::Image& player, const sf::Image& cursor,
                       const sf::Image& ui, bool sameTypeOnly)
{
    const std::vector<std::string> map = {
        "55555555555555555555", "55000005555511111555", "55000000555511111155", "55000005555551111555",
        "55550555222555115555", "55550555222555555545", "55000055555533333545", "55555555055555555545",
        "57777555555666665555", "57777544455666665515", "55555555555566555555", "55555555555555555555",
    };
    const int cols = 20, rows = 12, under = 5;
    sf::Image scene = blank(320, 192);
    auto type = [&](int c, int r) { return map[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] - '0'; };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
        {
            const int t = type(c, r);
            // Beyond the preview's edge the ground goes on; without the
            // under layer (sameTypeOnly) only the ground type matches.
            const int key = autoTileKeyAt(c, r, [&](int nc, int nr) {
                if (nc < 0 || nr < 0 || nc >= cols || nr >= rows)
                    return GroundLayers{t, t};
                return GroundLayers{type(nc, nr), sameTypeOnly ? -1 : under};
            });
            const PieceSpec* piece = &PieceTable[static_cast<std::size_t>(key)];
            stamp(scene, sheets[under], c * 16, r * 16, {0, 0, 16, 16});
            stamp(scene, sheets[static_cast<std::size_t>(t)], c * 16, r * 16, {piece->sheetX, piece->sheetY, 16, 16});
        }
    struct Placed
    {
        int id, c, r;
    };
    const std::vector<Placed> placed = {{1, 1, 4}, {1, 17, 3}, {2, 7, 6}, {3, 13, 2}, {4, 3, 10},
                                        {5, 10, 9}, {3, 18, 10}, {4, 11, 4}};
    bool playerDrawn = false;
    for (int r = 0; r < rows; ++r)
    {
        if (!playerDrawn && r * 16 > 96)
        {
            stamp(scene, player, 152, 80, {0, 128, 32, 32});
            playerDrawn = true;
        }
        for (const Placed& p : placed)
            if (p.r == r)
            {
                const ObjectDef& d = objDefs[static_cast<std::size_t>(p.id)];
                const int x = p.c * 16 - d.anchor * 16, y = p.r * 16 - (d.height * 16 - 16);
                stamp(scene, objTex[static_cast<std::size_t>(p.id)], x, y, {0, 0, d.width * 16, d.height * 16});
                // Collision box in red, to check it sits on the trunk or foot.
                const int bl = x + d.leftOffset, bt = y + d.topOffset;
                const int bw = d.width * 16 - d.widthReduction, bh = d.height * 16 - d.heightReduction;
                if (sameTypeOnly)
                    for (int i = 0; i < bw; ++i)
                    {
                        blend(scene, bl + i, bt, Color(255, 0, 0, 160));
                        blend(scene, bl + i, bt + bh - 1, Color(255, 0, 0, 160));
                    }
            }
    }
    stamp(scene, cursor, 4 * 16, 6 * 16);
    // HUD as in editor mode.
    stamp(scene, ui, 304, 184, {0, 0, 16, 8});
    for (int k = 0; k < 9; ++k)
        stamp(scene, sheets[static_cast<std::size_t>(k < 6 ? k : 0)], 10 + 8 * k, 8, {64, 64, 16, 16});
    stamp(scene, ui, 10 + 8 * 1, 8, {16, 0, 8, 8});
    stamp(scene, ui, 290, 8, {32, 0, 16, 8});
    stamp(scene, ui, 290, 16, {48, 0, 16, 8});
    stamp(scene, ui, 20, 16 + 8, {0, 16, 48, 48}); // panel, moved down to clear the palette in the preview
    stamp(scene, objTex[1], 20, 16 + 8, {0, 0, 32, 48});
    return scene;
}

void writePreview(const std::filesystem::path& dir, const std::vector<sf::Image>& sheets,
                  const std::vector<sf::Image>& objTex, const std::vector<ObjectDef>& objDefs,
                  const sf::Image& player, const sf::Image& cursor, const sf::Image& ui,
                  const std::vector<sf::Image>& items, const sf::Image& icon, const sf::Image& title)
{
    std::filesystem::create_directories(dir);
    // Ground sheets, side by side.
    sf::Image grounds = checker(static_cast<int>(sheets.size()) * 88, 88);
    for (std::size_t i = 0; i < sheets.size(); ++i)
        stamp(grounds, sheets[i], static_cast<int>(i) * 88 + 4, 4);
    save(scaled(grounds, 3), dir / "grounds.png");
    // Sprites: objects, player frames, cursor, UI, items, icon.
    sf::Image sprites = checker(400, 272);
    int x = 4;
    for (const sf::Image& o : objTex)
    {
        stamp(sprites, o, x, 4);
        x += static_cast<int>(o.getSize().x) + 6;
    }
    for (int f = 0; f < 8; ++f)
        stamp(sprites, player, 4 + f * 36, 60, {0, f * 32, 32, 32});
    stamp(sprites, cursor, 4, 100);
    stamp(sprites, ui, 28, 100);
    x = 130;
    for (const sf::Image& it : items)
    {
        stamp(sprites, it, x, 100);
        x += 20;
    }
    stamp(sprites, icon, x + 4, 100);
    save(scaled(sprites, 3), dir / "sprites.png");
    save(scaled(title, 3), dir / "title.png");
    save(scaled(worldPreview(sheets, objTex, objDefs, player, cursor, ui, false), 3), dir / "world.png");
    save(scaled(worldPreview(sheets, objTex, objDefs, player, cursor, ui, true), 3), dir / "world-sametype.png");
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    fs::path out = "assets";
    fs::path preview;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--preview" && i + 1 < argc)
            preview = argv[++i];
        else
            out = arg;
    }
    fs::create_directories(out / "Texturen");
    fs::create_directories(out / "Objekte");
    fs::create_directories(out / "Items");

    bool ok = true;
    std::vector<sf::Image> sheets;
    for (std::size_t i = 0; i < grounds().size(); ++i)
    {
        sheets.push_back(groundSheet(grounds()[i], 200u + static_cast<std::uint32_t>(i)));
        ok &= save(sheets.back(), out / "Texturen" / ("FieldTextur" + std::to_string(i) + ".png"));
    }

    const std::vector<sf::Image> objTex = {blank(16, 16), treeTexture(), signTexture(),
                                           rockTexture(), bushTexture(), houseTexture()};
    const std::vector<ObjectDef> objDefs = {
        {1, 1, 0, 0, 0, 0, 0, ""},
        {2, 3, 36, 18, 38, 24, 1, "An old oak. Its leaves whisper in the wind."},
        {1, 1, 8, 3, 9, 6, 0, "Welcome to Quillora! Press E to open the editor."},
        {1, 1, 7, 3, 8, 6, 0, "A mossy rock. It has been sitting here for ages."},
        {1, 1, 6, 2, 7, 4, 0, "A berry bush. The berries would make a fine pur\xC3\xA9" "e."},
        {3, 3, 26, 3, 28, 6, 1, "A cosy cottage. Nobody is home right now."},
    };
    for (std::size_t i = 0; i < objTex.size(); ++i)
    {
        ok &= save(objTex[i], out / "Texturen" / ("ObjectTextur" + std::to_string(i) + ".png"));
        ok &= writeText(out / "Objekte" / ("Object" + std::to_string(i) + ".object"), objectFileText(objDefs[i]));
    }

    const sf::Image player = playerTexture();
    const sf::Image cursor = editorTexture();
    const sf::Image ui = uiTexture();
    const sf::Image icon = iconTexture();
    const sf::Image title = titleScreen(sheets, objTex, player);
    ok &= save(player, out / "Texturen" / "PlayerTextur.png");
    ok &= save(cursor, out / "Texturen" / "EditorTextur.png");
    ok &= save(ui, out / "Texturen" / "UITextur.png");
    ok &= save(title, out / "Texturen" / "TitleScreenTextur.png");
    ok &= save(icon, out / "ico.png");
    // The desktop icon in the icon theme's sizes: the window icon enlarged by
    // whole pixels, as crisp as the rest of the art. Only the install reads icons/.
    fs::create_directories(out / "icons");
    for (int size : {16, 32, 48, 64, 128, 256})
        ok &= save(scaled(icon, size / 16), out / "icons" / ("quillora-" + std::to_string(size) + ".png"));

    const std::vector<sf::Image> items = {appleTexture(), keyTexture(), coinTexture(), potionTexture()};
    const char* itemNames[] = {"Apple", "Key", "Gold Coin", "Potion"};
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        ok &= save(items[i], out / "Items" / ("ItemTextur" + std::to_string(i) + ".png"));
        ok &= writeText(out / "Items" / ("Item" + std::to_string(i) + ".Item"), std::string(itemNames[i]) + "\n");
    }

    if (!preview.empty())
        writePreview(preview, sheets, objTex, objDefs, player, cursor, ui, items, icon, title);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
