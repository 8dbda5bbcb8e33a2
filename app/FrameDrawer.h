#pragma once

#include "platform/FrameKey.h"
#include "hud/BlockPreview.h"
#include "platform/TimeSource.h"
#include "world/FieldMap.h"
#include "world/ViewCache.h"
#include "world/WorldRenderer.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

class Editor;
class Overlays;
class Player;
class UI;

constexpr unsigned SceneWidth = GameViewWidth;   // scene pixels: 20 fields
constexpr unsigned SceneHeight = GameViewHeight; // scene pixels: 12 fields
// A window left alone is still drawn and displayed in full at least this
// often: it may have been covered and uncovered without the game hearing of it.
constexpr float FullRedrawInterval = 0.5f; // seconds

// Where the time of the last frame went, in milliseconds; filled only when
// GameOptions::profile is set (a part that was skipped counts 0).
struct FrameProfile
{
    double worldMs = 0;   // walking, scroll, collision, editor, player, refresh, HUD update
    double sceneMs = 0;   // drawing the scene (320 x 192 in the game's view), rasterising included
    double presentMs = 0; // scaling the scene onto the window, texts, display
    int sceneDrawCalls = 0; // draw calls of the map (ground, objects, player)
    // Set every frame, profiling or not: whether it drew the scene, and
    // whether it drew and displayed the window.
    bool sceneDrawn = true;
    bool presented = true;
    double autosaveMs = 0;  // this frame's share of an autosave (formatting); 0 when none began
    bool autosaveWriting = false; // a recovery file was being written on the worker after the frame
    bool mapPictureWriting = false; // a picture of the map was being drawn or written on its worker after the frame
};

// What a frame shows, in the order it is drawn: the map with the player
// between its objects, the paste's preview, the editor's cursor, selection and
// rectangle, the HUD into the scene; over the scaled scene the guides, the
// overview, the HUD's texts and the picker.
struct FrameParts
{
    const FieldMap& map;
    const Player& player;
    const Editor& editor;
    UI& hud;
    Overlays& overlays;
};

// Draws frames into a scene texture as large as the map's view (320 x 192 in
// the game's view) and presents it scaled onto the window, the HUD at the
// game's size whatever the view, and reuses what a frame would only draw again: a frame whose
// key (see FrameKey) equals the last one's draws nothing, one whose scene
// alone is unchanged draws only the window. Frames that display nothing are
// paced as the frame limit paces those that do.
class FrameDrawer
{
public:
    // `window` must outlive the drawer and be open; the game's 320 x 192
    // scene is stretched onto it by `sceneScale` (window pixels per scene
    // pixel), a wider view shrunk to fit the same window: without smoothing
    // while a scene pixel still covers at least a window pixel, smoothed
    // when the scene is larger than the window.
    // `reuseUnchangedFrames` false draws every frame in full; `limitFrameRate`
    // paces frames to FrameRateLimit; `profile` fills the profile's times.
    FrameDrawer(sf::RenderWindow& window, sf::Vector2f sceneScale, bool reuseUnchangedFrames, bool limitFrameRate,
                bool profile, const TimeSource& time);

    // A new window, or an event that may have spoilt its pixels: the next
    // frame is drawn and displayed in full.
    void windowDamaged() { damaged = true; }

    // Draws and presents the frame `parts` show, unless it would show what
    // the window already does; `fullRedraw` draws it in full whatever the
    // keys say. Sets the profile's drawing parts.
    void draw(const FrameParts& parts, bool fullRedraw, FrameProfile& profile);

    // The scene as drawn by the last frame, as large as the map's view.
    sf::Image sceneImage() const;

private:
    void describe(const FrameParts& parts, FrameKey& scene, FrameKey& window) const;
    void drawScene(const FrameParts& parts, FrameProfile& profile);
    void present(const FrameParts& parts, bool afterIdleFrame, FrameProfile& profile);
    void waitOutFrame();
    // A scene texture of the map's view's size.
    void fitScene(sf::Vector2i viewSize);

    sf::RenderWindow& window;
    bool reuseUnchangedFrames;
    bool limitFrameRate;
    bool profiling;
    sf::Vector2f gameSceneScale; // window pixels per scene pixel of the game's view
    // A scene texture for each size of view shown so far, with the kept world
    // of a wider view. Kept until the drawer goes: taking a render texture
    // apart leaves the graphics library unsure which one is bound.
    struct Scene
    {
        sf::RenderTexture texture;
        ViewCache world;
    };
    std::vector<std::unique_ptr<Scene>> scenes;
    Scene* scene = nullptr; // the one of the view shown now
    sf::Sprite sceneSprite;
    WorldRenderer worldRenderer;
    BlockPreview pastePreview;
    // What the scene texture and the window show now, and the keys of the
    // frame being drawn (kept here so their memory is reused).
    FrameKey shownScene, shownWindow, nextScene, nextWindow;
    bool damaged = true; // a new window, or an event that may have spoilt its pixels
    bool lastFramePresented = true;
    Stopwatch sinceFullRedraw;
    Stopwatch sinceFrameEnd;
};
