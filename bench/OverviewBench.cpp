// The map overview while shown: a frame's share of it when the frame edits
// a few fields (the largest brush), none, or all of them (a load or a fill);
// the fields' edits included, drawn onto a window-sized target and finished
// on the graphics driver. Run under a display (xvfb-run).
#include "TestContent.h"

#include "content/GameData.h"
#include "hud/MapOverview.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Context.hpp>
#include <benchmark/benchmark.h>

#include <sstream>

namespace
{
void BM_OverviewFrame(benchmark::State& state)
{
    const TestContent files;
    std::ostringstream console;
    const GameData data(files.path(), &console);
    FieldMap map(data);
    sf::RenderTexture window;
    window.create(1080, 720);
    MapOverview overview(&data, {1080, 720}, {320, 192});
    overview.show(map);
    overview.update();
    using Finish = void (*)();
    static const Finish finish = reinterpret_cast<Finish>(sf::Context::getFunction("glFinish"));
    const int fields = static_cast<int>(state.range(0));
    int frame = 0;
    for (auto _ : state)
    {
        // A square of `fields` fields, moving and changing type every frame.
        const int side = fields >= FieldCount ? MapSize : fields == 0 ? 0 : 6;
        const int count = fields >= FieldCount ? FieldCount : fields;
        for (int i = 0; i < count; ++i)
        {
            const int c = (frame * 7 + i / std::max(side, 1)) % MapSize, r = (frame * 3 + i % std::max(side, 1)) % MapSize;
            map.paintGround(c, r, (frame + i) % 8, false);
        }
        overview.update();
        overview.draw(window, {-float(frame % 3000), -float(frame % 3000)}, {frame % 200, frame % 200});
        if (finish)
            finish();
        ++frame;
    }
}
BENCHMARK(BM_OverviewFrame)->ArgName("fields")->Arg(0)->Arg(29)->Arg(FieldCount)->Unit(benchmark::kMicrosecond);
} // namespace
