// The editor's largest edits: a fill of all 40,000 fields and its undo, each
// as the editor's update plus the map's refresh of that frame, and as a
// whole frame of the game (drawing and presenting included), which must stay
// within a 60 Hz frame. Run under a display (xvfb-run) with
//   quillora_bench --benchmark_filter=Fill --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "TestContent.h"

#include "app/Game.h"
#include "content/GameData.h"
#include "editor/Editor.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace
{
// Two ground types the fills take turns with, so every fill changes every
// field of a uniform map.
constexpr int FillTypes[] = {1, 2};

InputState keys(std::initializer_list<sf::Keyboard::Key> held)
{
    InputState input;
    for (sf::Keyboard::Key key : held)
        input.press(key);
    input.mousePosition = {100, 100}; // over field (6, 6) at scene scale 1
    return input;
}

struct EditorWorld
{
    TestContent files;
    std::ostringstream console;
    GameData data{files.path(), &console};
    FieldMap map{data};
    Editor editor{data};
    int fills = 0;

    EditorWorld()
    {
        map.setOrigin(-800, -800);
        map.refresh();
        EditorChoices choices;
        choices.active = true;
        editor.setChoices(choices);
    }
    // A frame of the editor and the map.
    void frame(const InputState& input)
    {
        editor.update(input, &map, 1.f, 1.f);
        map.refresh();
    }
    void chooseNextFillType()
    {
        EditorChoices choices = editor.choices();
        choices.selectedGround = FillTypes[fills++ % 2];
        editor.setChoices(choices);
    }
};

void BM_WholeMapFill(benchmark::State& state)
{
    EditorWorld w;
    for (auto _ : state)
    {
        state.PauseTiming();
        w.frame(keys({}));
        w.chooseNextFillType();
        state.ResumeTiming();
        w.frame(keys({sf::Keyboard::F}));
    }
    state.counters["fields"] = static_cast<double>(w.map.revision()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WholeMapFill)->Unit(benchmark::kMillisecond);

void BM_UndoWholeMapFill(benchmark::State& state)
{
    EditorWorld w;
    for (auto _ : state)
    {
        state.PauseTiming();
        w.chooseNextFillType();
        w.frame(keys({sf::Keyboard::F}));
        w.frame(keys({}));
        state.ResumeTiming();
        w.frame(keys({sf::Keyboard::LControl, sf::Keyboard::Z}));
        state.PauseTiming();
        w.frame(keys({}));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoWholeMapFill)->Unit(benchmark::kMillisecond);

// Whole frames of the game in a 1080 x 720 window, frame limit off: one that
// fills the whole map, or undoes such a fill, against one that edits nothing.
void BM_GameFrame(benchmark::State& state)
{
    const int edit = static_cast<int>(state.range(0)); // 0 nothing, 1 fill, 2 undo
    TestContent files;
    std::ostringstream console;
    Game game(GameOptions{files.path(), false, false}, TimeSource::system(), &console);
    InputState press = keys({sf::Keyboard::E});
    while (game.isOpen() && !game.editor().active())
        game.frame(&press);
    int fills = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        // The fill alternates the type by the number keys, so each one takes
        // the whole map.
        const sf::Keyboard::Key type = fills++ % 2 ? sf::Keyboard::Num2 : sf::Keyboard::Num3;
        InputState rest = keys({type});
        game.frame(&rest);
        if (edit == 2)
        {
            InputState fill = keys({sf::Keyboard::F});
            game.frame(&fill);
            game.frame(&rest);
        }
        state.ResumeTiming();
        InputState measured = edit == 0 ? rest
                              : edit == 1 ? keys({sf::Keyboard::F})
                                          : keys({sf::Keyboard::LControl, sf::Keyboard::Z});
        game.frame(&measured);
    }
}
BENCHMARK(BM_GameFrame)->ArgName("edit")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
} // namespace
