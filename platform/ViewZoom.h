#pragma once

#include <optional>
#include <string_view>

// How much of the world the editor's view shows: the game's own view, or
// one two or four times as wide and as high around the same centre.
enum class ViewZoom
{
    Game,
    Half,
    Quarter,
};

constexpr ViewZoom WidestZoom = ViewZoom::Quarter;

// Scene pixels of the view per scene pixel of the game's view, per side: 1, 2, 4.
constexpr int zoomFactor(ViewZoom zoom)
{
    return 1 << static_cast<int>(zoom);
}

// One step wider (`outward`) or closer; stays at the widest and the game's view.
constexpr ViewZoom zoomStep(ViewZoom zoom, bool outward)
{
    const int step = static_cast<int>(zoom) + (outward ? 1 : -1);
    return step < 0 ? ViewZoom::Game : step > static_cast<int>(WidestZoom) ? WidestZoom : static_cast<ViewZoom>(step);
}

// The settings file's names: "game", "half", "quarter".
constexpr std::string_view zoomName(ViewZoom zoom)
{
    switch (zoom)
    {
    case ViewZoom::Game: return "game";
    case ViewZoom::Half: return "half";
    case ViewZoom::Quarter: return "quarter";
    }
    return "game";
}

// The zoom called `name` (exact, lower case); empty when there is none.
constexpr std::optional<ViewZoom> zoomNamed(std::string_view name)
{
    for (const ViewZoom zoom : {ViewZoom::Game, ViewZoom::Half, ViewZoom::Quarter})
        if (zoomName(zoom) == name)
            return zoom;
    return std::nullopt;
}
