#include "app/Game.h"

#include "app/ScreenCapture.h"
#include "content/ImageFile.h"
#include "platform/ConsoleWait.h"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Event.hpp>

#include <chrono>
#include <cmath>
#include <future>
#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

const char* const windowTitle = "  Quillora Indev 0.0.6 ";

namespace
{
sf::ContextSettings windowContext()
{
    // No depth or stencil buffer, no antialiasing, OpenGL 2.0.
    return sf::ContextSettings(0, 0, 0, 2, 0);
}

int truncateStep(float value)
{
    return static_cast<int>(value);
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

Game::Game(const GameOptions& options, const TimeSource& time, std::ostream* console)
    : options(options), console(console ? console : &std::cout)
{
    // Bringing up the window loads the graphics driver, the slowest step of
    // start-up. Meanwhile the other core looks up the fonts and builds the
    // map's 40,000 fields, which need no graphics; both join in before they
    // are used, in the usual order.
    std::future<FontFiles> fontFiles = std::async(std::launch::async, &FontFiles::find);
    std::future<std::unique_ptr<FieldMap>> mapStorage =
        std::async(std::launch::async, [] { return std::make_unique<FieldMap>(nullptr); });

    createWindow(options.fullscreen ? sf::Style::Fullscreen : sf::Style::Titlebar);

    // The icon is set only from an image that loaded, and only if it holds a
    // whole 16 x 16 icon.
    if (loadPngImage(options.contentRoot + "/ico.png", icon) && icon.getSize().x >= IconSize &&
        icon.getSize().y >= IconSize)
    {
        sf::Image scaled;
        scaled.create(IconSize, IconSize);
        scaled.copy(icon, 0, 0, sf::IntRect(0, 0, IconSize, IconSize));
        window.setIcon(IconSize, IconSize, scaled.getPixelsPtr());
    }

    const FontFiles fonts = fontFiles.get();
    content = std::make_unique<GameData>(options.contentRoot, this->console, &fonts);
    editor = std::make_unique<Editor>(content.get(), time);

    sceneTexture.create(SceneWidth, SceneHeight, sf::ContextSettings());
    const sf::Vector2u size = window.getSize();
    sceneSprite.scale(static_cast<float>(size.x) / SceneWidth, static_cast<float>(size.y) / SceneHeight);
    sceneScaleX = sceneSprite.getScale().x;
    sceneScaleY = sceneSprite.getScale().y;
    editorScaleX = sceneScaleX;
    editorScaleY = sceneScaleY;

    ui = std::make_unique<UI>(content.get(), size, sceneScaleX, sceneScaleY, time);
    map = mapStorage.get();
    map->attachContent(content.get());
    player = std::make_unique<Player>(size, content.get(), sceneScaleX, sceneScaleY);
}

Game::~Game() = default;

void Game::createWindow(sf::Uint32 style)
{
    window.create(sf::VideoMode(WindowWidth, WindowHeight, WindowBitsPerPixel), windowTitle, style,
                  windowContext());
    window.setMouseCursorVisible(false);
    cursorShown = false;
    window.setKeyRepeatEnabled(false);
    if (options.limitFrameRate)
    {
        window.setFramerateLimit(FrameRateLimit);
        window.setVerticalSyncEnabled(true);
    }
    // Keys held in the window before it was re-created were released elsewhere.
    input.releaseAll();
}

bool Game::isOpen() const
{
    return window.isOpen();
}

void Game::handleEvents()
{
    sf::Event event;
    while (window.pollEvent(event))
    {
        input.handle(event);
        if (event.type == sf::Event::Closed)
        {
            closeRequested = true;
        }
        else if (event.type == sf::Event::Resized && event.size.width > 0 && event.size.height > 0)
        {
            // The scene sprite keeps its scale and the view stretches it over
            // the new size, so a scene pixel is now new size / scene size
            // window pixels; the editor maps the mouse with that.
            editorScaleX = static_cast<float>(event.size.width) / SceneWidth;
            editorScaleY = static_cast<float>(event.size.height) / SceneHeight;
        }
    }
}

void Game::walk(const InputState& in)
{
    const float speed = player->speed;
    int dx = 0;
    int dy = 0;
    if (in.isKeyPressed(sf::Keyboard::W))
    {
        dy = truncateStep(0 + speed);
        player->facing = FacingUp;
    }
    if (in.isKeyPressed(sf::Keyboard::S))
    {
        dy = truncateStep(static_cast<float>(dy) - speed);
        player->facing = FacingDown;
    }
    if (in.isKeyPressed(sf::Keyboard::A))
    {
        dx = truncateStep(0 + speed);
        player->facing = FacingLeft;
    }
    if (in.isKeyPressed(sf::Keyboard::D))
    {
        dx = truncateStep(static_cast<float>(dx) - speed);
        player->facing = FacingRight;
    }
    // The world moves against the walk. A step into something, or off the
    // map, is taken back whole: no sliding along walls.
    const float fx = static_cast<float>(dx);
    const float fy = static_cast<float>(dy);
    const bool leavesMap = player->stepLeavesMap(map.get(), fx, fy);
    map->scroll(fx, fy);
    if (player->collides(map.get()) || leavesMap)
        map->scroll(-fx, -fy);
}

void Game::mapFileSequence(bool saving)
{
    // The dialog needs a plain window with a title bar to sit on.
    createWindow(sf::Style::Titlebar);
    window.clear(sf::Color::Green);
    window.display();

    const MapFileResult result = saving ? saveMap(*map, chooseFile) : loadMap(*map, chooseFile);

    createWindow(options.fullscreen ? sf::Style::Fullscreen : sf::Style::Titlebar);
    const char* verb = saving ? "--- Saving " : "--- Loading ";
    switch (result.status)
    {
    case MapFileResult::Status::Complete:
        *console << verb << "Complete" << std::endl;
        break;
    case MapFileResult::Status::Cancelled:
        *console << verb << "Cancelled" << std::endl;
        break;
    case MapFileResult::Status::Failed:
        *console << verb << "Failed: " << result.reason << std::endl;
        break;
    }
}

void Game::frame(const InputState* scripted)
{
    const auto frameStart = std::chrono::steady_clock::now();
    handleEvents();
    const InputState in = scripted ? *scripted : input.takeFrame(window);

    walk(in);
    if (in.isKeyPressed(sf::Keyboard::Escape))
        closeRequested = true;
    if (in.isKeyPressed(sf::Keyboard::F5))
        mapFileSequence(true);
    if (in.isKeyPressed(sf::Keyboard::F10))
        mapFileSequence(false);

    editor->update(in, map.get(), editorScaleX, editorScaleY);
    player->update(map.get(), ui.get(), in);
    map->refresh();
    ui->update(*editor);
    if (options.profile)
        lastProfile.worldMs = millisecondsSince(frameStart);

    drawFrame();
    // Shown exactly while the editor is on; the window hears only of changes.
    if (cursorShown != editor->active)
    {
        window.setMouseCursorVisible(editor->active);
        cursorShown = editor->active;
    }
    if (in.isKeyPressed(sf::Keyboard::F3))
        ScreenCapture(window);

    // Closing is left to the end, so the frame that asked for it is still
    // drawn in full.
    if (closeRequested)
        window.close();
}

void Game::drawFrame()
{
    const auto sceneStart = std::chrono::steady_clock::now();
    sceneTexture.clear(sf::Color::Blue);
    window.clear(sf::Color::Green);

    map->draw(sceneTexture, *player);
    if (editor->active)
        sceneTexture.draw(*editor->cursor);
    ui->draw(sceneTexture, *editor);

    sceneTexture.display();
    if (options.profile)
    {
        glFinish(); // count the rasterising, not just the queuing
        lastProfile.sceneMs = millisecondsSince(sceneStart);
        lastProfile.sceneDrawCalls = map->lastDrawCalls;
    }
    const auto presentStart = std::chrono::steady_clock::now();
    sceneSprite.setTexture(sceneTexture.getTexture(), false);
    window.draw(sceneSprite);
    if (editor->active)
        window.draw(ui->brushSizeText);
    if (ui->messageVisible())
        window.draw(ui->messageText);
    window.display();
    if (options.profile)
        lastProfile.presentMs = millisecondsSince(presentStart);
}

int runGame()
{
#if defined(__GLIBC__)
    // The software renderer allocates and frees large blocks every frame;
    // without a high trim threshold glibc hands them back to the system each
    // time and the game pays in page faults.
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
#endif
    Game game;
    while (game.isOpen())
        game.frame();
    // The console waits before anything is torn down.
    waitForKeyOnConsole();
    return 0;
}
