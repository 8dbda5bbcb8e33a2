#include "app/Game.h"

#include "app/ScreenCapture.h"
#include "content/ImageFile.h"
#include "platform/AllocatorTuning.h"
#include "platform/ConsoleWait.h"
#include "platform/Display.h"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Event.hpp>

#include <chrono>
#include <cmath>
#include <future>
#include <iostream>


const char* const windowTitle = "  Quillora Indev 0.0.6 ";

namespace
{
sf::ContextSettings windowContext()
{
    // No depth or stencil buffer, no antialiasing, OpenGL 2.0.
    return sf::ContextSettings(0, 0, 0, 2, 0);
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
        gameWindow.setIcon(IconSize, IconSize, scaled.getPixelsPtr());
    }

    const FontFiles fonts = fontFiles.get();
    contentStore = std::make_unique<GameData>(options.contentRoot, this->console, &fonts);
    mapEditor = std::make_unique<Editor>(contentStore.get(), time);

    sceneTexture.create(SceneWidth, SceneHeight, sf::ContextSettings());
    const sf::Vector2u size = gameWindow.getSize();
    sceneSprite.scale(static_cast<float>(size.x) / SceneWidth, static_cast<float>(size.y) / SceneHeight);
    sceneScaleX = sceneSprite.getScale().x;
    sceneScaleY = sceneSprite.getScale().y;
    editorScaleX = sceneScaleX;
    editorScaleY = sceneScaleY;

    headUpDisplay = std::make_unique<UI>(contentStore.get(), size, sceneScaleX, sceneScaleY, time);
    fieldMap = mapStorage.get();
    fieldMap->attachContent(contentStore.get());
    playerCharacter = std::make_unique<Player>(size, contentStore.get(), sceneScaleX, sceneScaleY);
}

Game::~Game() = default;

void Game::createWindow(sf::Uint32 style)
{
    gameWindow.create(sf::VideoMode(WindowWidth, WindowHeight, WindowBitsPerPixel), windowTitle, style,
                      windowContext());
    gameWindow.setMouseCursorVisible(false);
    cursorShown = false;
    gameWindow.setKeyRepeatEnabled(false);
    if (options.limitFrameRate)
    {
        gameWindow.setFramerateLimit(FrameRateLimit);
        gameWindow.setVerticalSyncEnabled(true);
    }
    // Keys held in the window before it was re-created were released elsewhere.
    input.releaseAll();
    input.setFocus(gameWindow.hasFocus());
}

bool Game::isOpen() const
{
    return gameWindow.isOpen();
}

sf::Image Game::sceneImage() const
{
    return sceneTexture.getTexture().copyToImage();
}

void Game::handleEvents()
{
    sf::Event event;
    while (gameWindow.pollEvent(event))
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
    // The world moves against the walk. A step into something, or off the
    // map, is taken back whole: no sliding along walls.
    const sf::Vector2i step = playerCharacter->walkStep(in);
    const float dx = static_cast<float>(step.x);
    const float dy = static_cast<float>(step.y);
    const bool leavesMap = playerCharacter->stepLeavesMap(*fieldMap, dx, dy);
    fieldMap->scroll(dx, dy);
    if (playerCharacter->collides(*fieldMap) || leavesMap)
        fieldMap->scroll(-dx, -dy);
}

void Game::mapFileSequence(bool saving)
{
    // The dialog needs a plain window with a title bar to sit on.
    createWindow(sf::Style::Titlebar);
    gameWindow.clear(sf::Color::Green);
    gameWindow.display();

    const MapFileResult result = saving ? saveMap(*fieldMap, chooseFile) : loadMap(*fieldMap, chooseFile);

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
    const InputState in = scripted ? *scripted : input.takeFrame(gameWindow);

    walk(in);
    if (in.isKeyPressed(sf::Keyboard::Escape))
        closeRequested = true;
    if (in.isKeyPressed(sf::Keyboard::F5))
        mapFileSequence(true);
    if (in.isKeyPressed(sf::Keyboard::F10))
        mapFileSequence(false);

    mapEditor->update(in, fieldMap.get(), editorScaleX, editorScaleY);
    if (const std::string* message = playerCharacter->update(*fieldMap, in))
        headUpDisplay->showMessage(*message);
    fieldMap->refresh();
    headUpDisplay->update(mapEditor->choices());
    if (options.profile)
        profile.worldMs = millisecondsSince(frameStart);

    drawFrame();
    // Shown exactly while the editor is on; the window hears only of changes.
    if (cursorShown != mapEditor->active())
    {
        gameWindow.setMouseCursorVisible(mapEditor->active());
        cursorShown = mapEditor->active();
    }
    screenCapturer.frame(gameWindow, in.isKeyPressed(sf::Keyboard::F3));

    // Closing is left to the end, so the frame that asked for it is still
    // drawn in full.
    if (closeRequested)
        gameWindow.close();
}

void Game::drawFrame()
{
    const auto sceneStart = std::chrono::steady_clock::now();
    sceneTexture.clear(sf::Color::Blue);
    gameWindow.clear(sf::Color::Green);

    const sf::Sprite& playerSprite = playerCharacter->sprite();
    fieldMap->draw(sceneTexture, playerSprite, playerSprite.getPosition().y);
    if (mapEditor->active())
        sceneTexture.draw(mapEditor->cursor());
    headUpDisplay->draw(sceneTexture, mapEditor->choices());

    sceneTexture.display();
    if (options.profile)
    {
        glFinish(); // count the rasterising, not just the queuing
        profile.sceneMs = millisecondsSince(sceneStart);
        profile.sceneDrawCalls = fieldMap->lastDrawCalls;
    }
    const auto presentStart = std::chrono::steady_clock::now();
    sceneSprite.setTexture(sceneTexture.getTexture(), false);
    gameWindow.draw(sceneSprite);
    headUpDisplay->drawTexts(gameWindow, mapEditor->choices());
    gameWindow.display();
    if (options.profile)
        profile.presentMs = millisecondsSince(presentStart);
}

int runGame()
{
    // Without a display the graphics library would abort with a core dump.
    if (const std::string problem = checkDisplay(); !problem.empty())
    {
        std::cerr << "quillora: " << problem << std::endl;
        return 1;
    }
    keepFreedMemoryForReuse();
    Game game;
    while (game.isOpen())
        game.frame();
    // The console waits before anything is torn down.
    waitForKeyOnConsole();
    return 0;
}
