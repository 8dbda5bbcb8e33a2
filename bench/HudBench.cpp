// Holding Space on an object with a long message: the player hands the HUD
// the same message every frame, and the frame draws it. Run under a display
// (xvfb-run); the 1 MB case is the one to watch.
#include "TestContent.h"

#include "content/GameData.h"
#include "editor/Editor.h"
#include "hud/UI.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Window/Context.hpp>
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace
{
struct Hud
{
    TestContent files;
    std::ostringstream console;
    GameData data{files.path(), &console};
    UI ui{&data, {1080, 720}, 3.375f, 3.75f};
    sf::RenderTexture window;

    Hud() { window.create(1080, 720); }
};

Hud& hud()
{
    static Hud instance;
    return instance;
}

// A message of `bytes` bytes: words of plain letters, as a long text would be.
std::string message(std::size_t bytes)
{
    std::string text;
    while (text.size() < bytes)
        text += "a long message ";
    text.resize(bytes);
    return text;
}

// A frame with Space held: the same message set again, then drawn onto a
// window-sized target.
void BM_MessageWithSpaceHeld(benchmark::State& state)
{
    Hud& h = hud();
    const std::string text = message(static_cast<std::size_t>(state.range(0)));
    h.ui.showMessage(text);
    using Finish = void (*)();
    static const Finish finish = reinterpret_cast<Finish>(sf::Context::getFunction("glFinish"));
    const EditorChoices choices;
    for (auto _ : state)
    {
        h.ui.showMessage(text);
        h.window.clear();
        h.ui.drawTexts(h.window, choices);
        h.window.display();
        if (finish)
            finish();
    }
}
BENCHMARK(BM_MessageWithSpaceHeld)->ArgName("bytes")->Arg(100)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
} // namespace
