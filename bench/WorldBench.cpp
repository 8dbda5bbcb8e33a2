// One frame's world work, on an empty map and on a busy one: scrolling, the
// collision test and the refresh, and drawing into the 320 x 192 scene.
// Run under a display (xvfb-run) with
//   quillora_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "content/GameData.h"
#include "player/Player.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Context.hpp>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

namespace
{
namespace fs = std::filesystem;

constexpr int BenchGroundTypes = 8;
constexpr int BenchObjects = 4; // 0 is no object; 1..3 are 1 x 1, 2 x 3 and 1 x 2

// A small content tree in a temporary directory, removed at exit.
class BenchContent
{
public:
    BenchContent()
    {
        std::string pattern = (fs::temp_directory_path() / "quillora-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary directory");
        root = pattern;
        fs::create_directories(root + "/Texturen");
        fs::create_directories(root + "/Objekte");
        for (int type = 0; type < BenchGroundTypes; ++type)
        {
            sf::Image sheet;
            sheet.create(80, 64, sf::Color(sf::Uint8(30 * type), 120, 60));
            // Some see-through pixels, so the under layer matters.
            for (unsigned y = 0; y < 64; y += 2)
                sheet.setPixel(3, y, sf::Color::Transparent);
            save(sheet, "/Texturen/FieldTextur" + std::to_string(type) + ".png");
        }
        const char* definitions[BenchObjects] = {"1\n1\n0\n0\n0\n0\n0\n\n", "1\n1\n0\n0\n0\n0\n0\nA stone\n",
                                                 "2\n3\n32\n4\n34\n8\n1\nA tree\n", "1\n2\n16\n0\n16\n0\n0\nA post\n"};
        for (int id = 0; id < BenchObjects; ++id)
        {
            sf::Image picture;
            picture.create(32, 48, sf::Color(200, sf::Uint8(50 * id), 40, 220));
            save(picture, "/Texturen/ObjectTextur" + std::to_string(id) + ".png");
            std::ofstream(root + "/Objekte/Object" + std::to_string(id) + ".object", std::ios::binary)
                << definitions[id];
        }
        sf::Image player;
        player.create(32, 256, sf::Color(255, 128, 0));
        save(player, "/Texturen/PlayerTextur.png");
    }
    ~BenchContent()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    std::string root;

private:
    void save(const sf::Image& image, const std::string& relative)
    {
        if (!image.saveToFile(root + relative))
            throw std::runtime_error("cannot write " + root + relative);
    }
};

// Everything one benchmark needs, built once per process.
struct World
{
    BenchContent files;
    std::ostringstream console;
    GameData data{files.root, &console};
    Player player{{1080, 720}, &data, 3.375f, 3.75f};
    FieldMap emptyMap{&data};
    FieldMap busyMap{&data};
    sf::RenderTexture scene;

    World()
    {
        // Busy: an object on every field, every third field solid, and
        // patches of all ground types.
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
            {
                Field& field = busyMap.at(c, r);
                *field.object = *data.object(1 + (c * 7 + r * 3) % (BenchObjects - 1));
                field.solid = (c + 2 * r) % 3 == 0;
                field.setGround((c / 3 + r / 2) % BenchGroundTypes, false);
                field.setGround((c / 5 + r / 4) % BenchGroundTypes, true);
            }
        // The solid fields near the player would stop every step; move the
        // map so the player stands on a free field, as in play.
        for (FieldMap* map : {&emptyMap, &busyMap})
        {
            map->setOrigin(-800, -800);
            map->refresh();
        }
        scene.create(320, 192);
    }

    FieldMap& map(const benchmark::State& state) { return state.range(0) ? busyMap : emptyMap; }
};

World& world()
{
    static World instance;
    return instance;
}

void finishGl()
{
    // Rasterising happens when the driver gets round to it; wait for it so
    // the drawing cost is counted where it is caused.
    using Finish = void (*)();
    static const Finish finish = reinterpret_cast<Finish>(sf::Context::getFunction("glFinish"));
    if (finish)
        finish();
}

// The walking step of a frame, there and back so the map stays in place.
void BM_FrameWorldWork(benchmark::State& state)
{
    World& w = world();
    FieldMap& map = w.map(state);
    float step = 1.f;
    for (auto _ : state)
    {
        map.scroll(step, 0);
        benchmark::DoNotOptimize(w.player.collides(&map));
        map.refresh();
        step = -step;
    }
}
BENCHMARK(BM_FrameWorldWork)->ArgName("busy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Scroll(benchmark::State& state)
{
    FieldMap& map = world().map(state);
    float step = 1.f;
    for (auto _ : state)
    {
        map.scroll(step, step);
        step = -step;
    }
}
BENCHMARK(BM_Scroll)->ArgName("busy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Refresh(benchmark::State& state)
{
    FieldMap& map = world().map(state);
    for (auto _ : state)
        map.refresh();
}
BENCHMARK(BM_Refresh)->ArgName("busy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Collides(benchmark::State& state)
{
    World& w = world();
    FieldMap& map = w.map(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(w.player.collides(&map));
}
BENCHMARK(BM_Collides)->ArgName("busy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_Draw(benchmark::State& state)
{
    World& w = world();
    FieldMap& map = w.map(state);
    for (auto _ : state)
    {
        w.scene.clear(sf::Color::Blue);
        map.draw(w.scene, w.player);
        w.scene.display();
        finishGl();
    }
    state.counters["drawCalls"] = map.lastDrawCalls;
}
BENCHMARK(BM_Draw)->ArgName("busy")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
} // namespace
