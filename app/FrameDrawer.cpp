#include "app/FrameDrawer.h"

#include "app/GameWindow.h"
#include "editor/Editor.h"
#include "hud/Overlays.h"
#include "hud/UI.h"
#include "player/Player.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/System/Sleep.hpp>

#include <algorithm>
#include <chrono>
#include <utility>

namespace
{
double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

FrameDrawer::FrameDrawer(sf::RenderWindow& window, sf::Vector2f sceneScale, bool reuseUnchangedFrames,
                         bool limitFrameRate, bool profile, const TimeSource& time)
    : window(window), reuseUnchangedFrames(reuseUnchangedFrames), limitFrameRate(limitFrameRate), profiling(profile),
      gameSceneScale(sceneScale), sinceFullRedraw(time), sinceFrameEnd(time)
{
    fitScene({int(SceneWidth), int(SceneHeight)});
}

void FrameDrawer::fitScene(sf::Vector2i viewSize)
{
    const sf::Vector2u size(static_cast<unsigned>(viewSize.x), static_cast<unsigned>(viewSize.y));
    if (scene && scene->texture.getSize() == size)
        return;
    const auto same = std::find_if(scenes.begin(), scenes.end(),
                                   [size](const std::unique_ptr<Scene>& s) { return s->texture.getSize() == size; });
    if (same != scenes.end())
    {
        scene = same->get();
    }
    else
    {
        scene = scenes.emplace_back(std::make_unique<Scene>()).get();
        scene->texture.create(size.x, size.y, sf::ContextSettings());
        // Shrunk onto the window a scene would lose whole rows and columns of
        // pixels, which flicker as it scrolls: smoothed, it keeps them all.
        const sf::Vector2f windowSize = window.getView().getSize();
        scene->texture.setSmooth(static_cast<float>(size.x) > windowSize.x ||
                                 static_cast<float>(size.y) > windowSize.y);
    }
    sceneSprite.setTexture(scene->texture.getTexture(), true);
    sceneSprite.setScale(gameSceneScale.x * SceneWidth / static_cast<float>(size.x),
                         gameSceneScale.y * SceneHeight / static_cast<float>(size.y));
}

sf::Image FrameDrawer::sceneImage() const
{
    return scene->texture.getTexture().copyToImage();
}

// Everything the frame about to be drawn shows, in two parts: what is drawn
// into the scene, and what only the window adds over the scaled scene. Each
// part that drawScene() or present() draws adds itself, beside its draw().
void FrameDrawer::describe(const FrameParts& parts, FrameKey& scene, FrameKey& window) const
{
    scene.clear();
    WorldRenderer::describe(scene, parts.map);
    parts.player.describe(scene);
    parts.editor.describe(scene);
    parts.hud.describe(scene);

    window.clear();
    window.add(this->window.getSize());
    parts.hud.describeTexts(window);
    const sf::Vector2f origin = parts.map.origin() - sf::Vector2f(parts.map.viewCorner());
    if (parts.editor.active())
        parts.overlays.guides().describe(window, origin);
    parts.overlays.overview().describe(window, origin, parts.player.standingField());
    parts.overlays.picker().describe(window, parts.editor.choices());
}

// Drawing the same picture 60 times a second costs a software renderer a
// third of a core, so a frame that would show exactly what the window shows
// draws nothing: the scene texture keeps the last scene, and the window is
// neither drawn nor displayed. When only the window's texts changed the
// scene is reused and the window drawn again. The window is still drawn in
// full after any event that may have spoilt it (re-creation, resizing,
// focus), for a screenshot, and at least every FullRedrawInterval, since a
// window that was covered and uncovered is not always reported.
void FrameDrawer::draw(const FrameParts& parts, bool fullRedraw, FrameProfile& profile)
{
    describe(parts, nextScene, nextWindow);
    const bool all = !reuseUnchangedFrames || fullRedraw || damaged ||
                     sinceFullRedraw.getElapsedTime().asSeconds() >= FullRedrawInterval;
    const bool sceneChanged = all || nextScene != shownScene;
    const bool windowChanged = sceneChanged || nextWindow != shownWindow;
    profile.sceneDrawn = sceneChanged;
    profile.presented = windowChanged;
    if (profiling)
    {
        profile.sceneMs = 0;
        profile.presentMs = 0;
        profile.sceneDrawCalls = 0;
    }

    if (sceneChanged)
    {
        drawScene(parts, profile);
        std::swap(shownScene, nextScene);
    }
    if (windowChanged)
    {
        present(parts, !lastFramePresented, profile);
        std::swap(shownWindow, nextWindow);
        damaged = false;
        if (sceneChanged)
            sinceFullRedraw.restart();
    }
    else
    {
        waitOutFrame();
    }
    lastFramePresented = windowChanged;
    sinceFrameEnd.restart();
}

void FrameDrawer::drawScene(const FrameParts& parts, FrameProfile& profile)
{
    const auto sceneStart = std::chrono::steady_clock::now();
    const sf::Vector2i viewSize = parts.map.viewSize();
    fitScene(viewSize);
    sf::RenderTexture& sceneTexture = scene->texture;
    sceneTexture.clear(sf::Color::Blue);
    // The world in scene pixels from the view's corner, the HUD over it at
    // the game's size, whatever the view.
    sceneTexture.setView(sf::View(sf::FloatRect(sf::Vector2f(parts.map.viewCorner()), sf::Vector2f(viewSize))));
    const sf::Sprite& playerSprite = parts.player.sprite();
    // The game's view is drawn whole, as it always was; a wider one is too
    // large for that every frame and keeps its world between frames.
    if (viewSize == sf::Vector2i(int(SceneWidth), int(SceneHeight)))
        worldRenderer.draw(sceneTexture, parts.map, playerSprite, playerSprite.getPosition().y);
    else
        scene->world.draw(sceneTexture, parts.map, playerSprite, playerSprite.getGlobalBounds(),
                          playerSprite.getPosition().y, worldRenderer);
    if (const std::optional<sf::Vector2i> pasteAt = parts.editor.pastePosition())
        pastePreview.draw(sceneTexture, parts.map, parts.editor.clipboard(), *pasteAt);
    if (parts.editor.active())
        sceneTexture.draw(parts.editor.cursor());
    if (const std::optional<sf::IntRect> selected = parts.editor.selectionOutline(parts.map.origin()))
        parts.hud.drawRectangleOutline(sceneTexture, *selected);
    if (const std::optional<sf::IntRect> outline = parts.editor.rectangleOutline())
        parts.hud.drawRectangleOutline(sceneTexture, *outline);
    sceneTexture.setView(sf::View(sf::FloatRect(0.f, 0.f, float(SceneWidth), float(SceneHeight))));
    parts.hud.draw(sceneTexture, parts.editor.choices());
    sceneTexture.display();
    if (profiling)
    {
        glFinish(); // count the rasterising, not just the queuing
        profile.sceneMs = millisecondsSince(sceneStart);
        profile.sceneDrawCalls = worldRenderer.drawCalls();
    }
}

void FrameDrawer::present(const FrameParts& parts, bool afterIdleFrame, FrameProfile& profile)
{
    const auto presentStart = std::chrono::steady_clock::now();
    window.clear(sf::Color::Green);
    sceneSprite.setTexture(scene->texture.getTexture(), false);
    window.draw(sceneSprite);
    const sf::Vector2f origin = parts.map.origin() - sf::Vector2f(parts.map.viewCorner());
    if (parts.editor.active())
        parts.overlays.guides().draw(window, origin);
    parts.overlays.overview().draw(window, origin, parts.player.standingField());
    parts.hud.drawTexts(window, parts.editor.choices());
    parts.overlays.picker().draw(window, parts.editor.choices());
    // SFML's frame limit counts from its last display, which idle frames
    // skipped, so it would not wait now.
    if (afterIdleFrame)
        waitOutFrame();
    window.display();
    if (profiling)
        profile.presentMs = millisecondsSince(presentStart);
}

// Frames that display nothing are paced here, on the game's clock, as the
// frame limit paces those that do.
void FrameDrawer::waitOutFrame()
{
    if (!limitFrameRate)
        return;
    const sf::Time rest = sf::seconds(1.f / FrameRateLimit) - sinceFrameEnd.getElapsedTime();
    if (rest > sf::Time::Zero)
        sf::sleep(rest);
}
