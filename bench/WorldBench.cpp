// One frame's world work, on an empty map and on a busy one, with the game's
// view of 20 x 12 fields and with a view of 80 x 48: scrolling, the collision
// test and the refresh, and drawing the view into a scene of its size.
// Run under a display (xvfb-run) with
//   quillora_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "TestContent.h"

#include "content/GameData.h"
#include "player/Player.h"
#include "world/FieldMap.h"
#include "world/WorldRenderer.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Context.hpp>
#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>
#include <string>

namespace
{
constexpr int BenchGroundTypes = 8;
constexpr int BenchObjects = 4; // 0 is no object; 1 and 3 are 1 x 1, 2 is a 2 x 3 tree
constexpr int WideColumns = 80;  // fields of the wide view
constexpr int WideRows = 48;

// Everything one benchmark needs, built once per process.
struct World
{
    TestContent files{TestContentOptions{BenchGroundTypes, BenchObjects, BenchObjects}};
    std::ostringstream console;
    GameData data{files.path(), &console};
    Player player{{1080, 720}, data, 3.375f, 3.75f};
    FieldMap emptyMap{data};
    FieldMap busyMap{data};
    WorldRenderer renderer;
    sf::RenderTexture scene;
    sf::RenderTexture wideScene;

    World()
    {
        // Busy: an object on every field, every third field solid, and
        // patches of all ground types.
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
            {
                busyMap.setObject(c, r, 1 + (c * 7 + r * 3) % (BenchObjects - 1));
                busyMap.setSolid(c, r, (c + 2 * r) % 3 == 0);
                busyMap.paintGround(c, r, (c / 3 + r / 2) % BenchGroundTypes, false);
                busyMap.paintGround(c, r, (c / 5 + r / 4) % BenchGroundTypes, true);
            }
        // The solid fields near the player would stop every step; move the
        // map so the player stands on a free field, as in play.
        for (FieldMap* map : {&emptyMap, &busyMap})
        {
            map->setOrigin(-800, -800);
            map->refresh();
        }
        scene.create(GameViewWidth, GameViewHeight);
        wideScene.create(WideColumns * FieldSize, WideRows * FieldSize);
    }

    // The map of argument "busy" with the view of argument "wide".
    FieldMap& map(const benchmark::State& state)
    {
        FieldMap& chosen = state.range(0) ? busyMap : emptyMap;
        if (state.range(1))
            chosen.setViewSize(WideColumns * FieldSize, WideRows * FieldSize);
        else
            chosen.setViewSize(GameViewWidth, GameViewHeight);
        return chosen;
    }
    sf::RenderTexture& target(const benchmark::State& state) { return state.range(1) ? wideScene : scene; }
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
        benchmark::DoNotOptimize(w.player.collides(map));
        map.refresh();
        step = -step;
    }
}
BENCHMARK(BM_FrameWorldWork)->ArgNames({"busy", "wide"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

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
BENCHMARK(BM_Scroll)->ArgNames({"busy", "wide"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_Refresh(benchmark::State& state)
{
    FieldMap& map = world().map(state);
    for (auto _ : state)
        map.refresh();
}
BENCHMARK(BM_Refresh)->ArgNames({"busy", "wide"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_Collides(benchmark::State& state)
{
    World& w = world();
    FieldMap& map = w.map(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(w.player.collides(map));
}
BENCHMARK(BM_Collides)->ArgNames({"busy", "wide"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_Draw(benchmark::State& state)
{
    World& w = world();
    FieldMap& map = w.map(state);
    sf::RenderTexture& scene = w.target(state);
    for (auto _ : state)
    {
        scene.clear(sf::Color::Blue);
        w.renderer.draw(scene, map, w.player.sprite(), w.player.sprite().getPosition().y);
        scene.display();
        finishGl();
    }
    state.counters["drawCalls"] = w.renderer.drawCalls();
}
BENCHMARK(BM_Draw)->ArgNames({"busy", "wide"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);
} // namespace
