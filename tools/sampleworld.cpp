// Makes the sample world shipped in assets/maps/ (a village on a plaza, a
// lake with a beach and a dock, farm fields, snowy hills around a lava pool,
// a forest, roads between them), through the map's own edit API on the
// bundled content, so it is a map the game itself could have made:
//
//   xvfb-run -a quillora_sampleworld [CONTENT_DIR] [OUT.map]
//
// Defaults: assets and assets/maps/sample-world.map. The content's textures
// need a display (under Xvfb where there is none). Deterministic: the same
// content gives the same file, byte for byte.
#include "content/GameData.h"
#include "mapfile/MapFormat.h"
#include "player/Player.h"
#include "world/FieldMap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace
{
enum Ground
{
    Sand = 0,
    Water = 1,
    Cobblestone = 2,
    Dirt = 3,
    Snow = 4,
    Grass = 5,
    Meadow = 6,
    Planks = 7,
    Lava = 8,
};
enum Object
{
    None = 0,
    Tree = 1,
    Sign = 2,
    Rock = 3,
    Bush = 4,
    Cottage = 5,
};

std::uint32_t hash(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B9u ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13 | h >> 19) ^ static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    return h;
}

// Deterministic value noise in [0, 1), smooth over `scale` fields.
double noise(int x, int y, double scale, std::uint32_t seed)
{
    const double fx = x / scale, fy = y / scale;
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    const double tx = fx - x0, ty = fy - y0;
    const auto at = [seed](int a, int b) { return (hash(a, b, seed) & 0xFFFF) / 65536.0; };
    const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * smooth(tx);
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * smooth(tx);
    return top + (bottom - top) * smooth(ty);
}

double chance(int x, int y, std::uint32_t seed)
{
    return (hash(x, y, seed) & 0xFFFF) / 65536.0;
}

class World
{
public:
    explicit World(FieldMap& map) : map(map) {}

    // `type` on the ground layer over `under`.
    void paint(int c, int r, int type, int under)
    {
        if (!FieldMap::onMap(c, r))
            return;
        map.paintGround(c, r, type, false);
        map.paintGround(c, r, under, true);
    }
    int ground(int c, int r) const { return FieldMap::onMap(c, r) ? map.at(c, r).groundType() : -1; }
    void put(int c, int r, int object)
    {
        if (FieldMap::onMap(c, r))
            map.setObject(c, r, object);
    }
    void solid(int c, int r, bool blocks = true)
    {
        if (FieldMap::onMap(c, r))
            map.setSolid(c, r, blocks);
    }
    // Whether fields c0..c1 x r0..r1 are all of `type` and carry nothing.
    bool clear(int c0, int r0, int c1, int r1, int type) const
    {
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r)
                if (!FieldMap::onMap(c, r) || ground(c, r) != type || map.at(c, r).objectId() != 0 || map.at(c, r).solid())
                    return false;
        return true;
    }

private:
    FieldMap& map;
};

// A road two fields wide from (c0, r0) to (c1, r1): first along the columns,
// then along the rows; it does not cover water, the plaza or the stage.
void road(World& world, int c0, int r0, int c1, int r1)
{
    const auto lay = [&world](int c, int r) {
        for (int dc = 0; dc < 2; ++dc)
            for (int dr = 0; dr < 2; ++dr)
            {
                const int g = world.ground(c + dc, r + dr);
                if (g == Grass || g == Meadow || g == Sand || g == Snow || g == Dirt)
                    world.paint(c + dc, r + dr, Cobblestone, Grass);
            }
    };
    for (int c = std::min(c0, c1); c <= std::max(c0, c1); ++c)
        lay(c, r0);
    for (int r = std::min(r0, r1); r <= std::max(r0, r1); ++r)
        lay(c1, r);
}

void build(World& world)
{
    // Snowy hills in the north-west, a lava pool in their middle ringed by rocks.
    for (int c = 0; c < 100; ++c)
        for (int r = 0; r < 90; ++r)
        {
            const double d = std::hypot((c - 22) / 60.0, (r - 20) / 48.0);
            if (d + 0.35 * noise(c, r, 7, 11) < 0.95)
                world.paint(c, r, Snow, Grass);
        }
    for (int c = 10; c < 40; ++c)
        for (int r = 8; r < 34; ++r)
        {
            const double d = std::hypot(c - 24.5, (r - 20.5) * 1.2);
            if (d + 3 * noise(c, r, 4, 12) < 8)
            {
                world.paint(c, r, Lava, Snow);
                world.solid(c, r);
            }
        }
    for (int c = 10; c < 40; ++c)
        for (int r = 8; r < 34; ++r)
            if (world.ground(c, r) == Snow && chance(c, r, 13) < 0.18)
            {
                bool byLava = false;
                for (int dc = -1; dc <= 1; ++dc)
                    for (int dr = -1; dr <= 1; ++dr)
                        byLava |= world.ground(c + dc, r + dr) == Lava;
                if (byLava)
                    world.put(c, r, Rock);
            }

    // The lake in the north-east: water over sand, a beach around it, solid
    // water, a dock of planks reaching in from the south shore.
    for (int c = 95; c < 200; ++c)
        for (int r = 0; r < 100; ++r)
        {
            const double d = std::hypot((c - 150) / 34.0, (r - 42) / 27.0) + 0.3 * noise(c, r, 6, 21);
            if (d < 1.0)
            {
                world.paint(c, r, Water, Sand);
                world.solid(c, r);
            }
            else if (d < 1.18)
                world.paint(c, r, Sand, Grass);
        }
    for (int r = 52; r < 76; ++r)
        for (int c = 144; c < 146; ++c)
            if (world.ground(c, r) == Water || world.ground(c, r) == Sand)
            {
                world.paint(c, r, Planks, world.ground(c, r) == Water ? Water : Sand);
                world.solid(c, r, false);
            }
    for (int c = 95; c < 200; ++c)
        for (int r = 0; r < 100; ++r)
            if (world.ground(c, r) == Sand && chance(c, r, 22) < 0.05)
                world.put(c, r, Rock);

    // Farm fields in the south-west: meadow with furrows of dirt, hedges of bushes.
    for (int c = 12; c < 78; ++c)
        for (int r = 120; r < 178; ++r)
        {
            const int plotC = (c - 12) / 17, plotR = (r - 120) / 15;
            const int inC = (c - 12) % 17, inR = (r - 120) % 15;
            if (inC >= 15 || inR >= 13)
            {
                if ((inC == 15 || inR == 13) && chance(c, r, 31) < 0.6)
                    world.put(c, r, Bush);
                continue;
            }
            const bool furrows = (plotC + plotR) % 2 == 0;
            world.paint(c, r, furrows && inR % 3 == 1 ? Dirt : Meadow, Grass);
        }

    // The village around a plaza in the middle: cobblestone, a sign in its
    // centre, a stage of planks, cottages around it, bushes by their doors.
    for (int c = 90; c < 112; ++c)
        for (int r = 94; r < 110; ++r)
            world.paint(c, r, Cobblestone, Grass);
    for (int c = 104; c < 110; ++c)
        for (int r = 96; r < 100; ++r)
            world.paint(c, r, Planks, Cobblestone);
    world.put(100, 101, Sign);
    const int cottages[][2] = {{86, 92}, {92, 90}, {98, 90}, {104, 90}, {110, 90}, {116, 94}, {116, 100},
                               {116, 106}, {86, 100}, {86, 108}, {92, 114}, {97, 114}, {106, 114}, {114, 118},
                               {80, 118}, {124, 110}, {124, 98}, {76, 96}};
    for (const auto& at : cottages)
    {
        const int c = at[0], r = at[1];
        for (int dc = -1; dc <= 1; ++dc)
            for (int dr = -2; dr <= 0; ++dr)
                if (world.ground(c + dc, r + dr) != Cobblestone && world.ground(c + dc, r + dr) != Planks)
                    world.paint(c + dc, r + dr, Grass, Grass);
        world.put(c, r, Cottage);
        if (world.clear(c + 2, r, c + 2, r, Grass))
            world.put(c + 2, r, Bush);
    }

    // Roads: to the lake's dock, to the hills, to the fields, and east and
    // south out of the village.
    road(world, 112, 102, 185, 102);
    road(world, 144, 102, 144, 76);
    road(world, 90, 101, 60, 56);
    road(world, 99, 110, 45, 118);
    road(world, 101, 110, 101, 185);

    // Flower meadows here and there, then trees: a forest in the south-east,
    // a few everywhere else, never on roads, water, fields or the plaza, and
    // a row along every edge of the map.
    for (int c = 0; c < 200; ++c)
        for (int r = 0; r < 200; ++r)
            if (world.ground(c, r) == Grass && noise(c, r, 9, 41) > 0.78)
                world.paint(c, r, Meadow, Grass);
    for (int c = 0; c < 200; ++c)
        for (int r = 0; r < 200; ++r)
        {
            const bool edge = c < 2 || r < 3 || c > 197 || r > 197;
            const bool forest = c > 130 && r > 120 && noise(c, r, 12, 51) > 0.35;
            const double density = edge ? 0.5 : forest ? 0.33 : 0.025;
            const int g = world.ground(c, r);
            // The tree's picture covers the field to its left and two above.
            if ((g == Grass || g == Snow || (g == Meadow && forest)) && chance(c, r, 52) < density &&
                world.clear(c - 1, r, c, r, g) && world.clear(c - 1, r - 2, c, r - 1, g))
                world.put(c, r, Tree);
            else if ((g == Grass || g == Meadow) && !edge && chance(c, r, 53) < 0.01 &&
                     world.clear(c, r, c, r, g))
                world.put(c, r, chance(c, r, 54) < 0.5 ? Bush : Rock);
        }
}
} // namespace

int main(int argc, char** argv)
{
    const std::string content = argc > 1 ? argv[1] : "assets";
    const std::string out = argc > 2 ? argv[2] : content + "/maps/sample-world.map";
    std::ostringstream console;
    const GameData data(content, &console);
    if (data.groundTypeCount() < 9 || data.objectCount() < 6)
    {
        std::cerr << "the sample world needs ground types 0..8 and objects 0..5 in " << content << "\n";
        return 1;
    }
    FieldMap map(data);
    World world(map);
    build(world);
    // The player starts at the plaza's north-west corner, among cottages.
    const Player player({1080, 720}, data, 3.375f, 3.75f);
    const sf::Vector2f start = player.originStandingOn(92, 96);
    map.setOrigin(start.x, start.y);
    std::filesystem::create_directories(std::filesystem::path(out).parent_path());
    std::ofstream(out, std::ios::binary) << formatMap(map);
    std::cout << out << "\n";
    return 0;
}
