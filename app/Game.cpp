#include "app/Game.h"

#include "app/ScreenCapture.h"
#include "content/ImageFile.h"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Event.hpp>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <future>
#include <iostream>
#include <system_error>


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

    createWindow(playStyle());

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
    savedRevision = fieldMap->revision();
    playerCharacter = std::make_unique<Player>(size, contentStore.get(), sceneScaleX, sceneScaleY);

    if (!options.stateFolder.empty())
    {
        recovery = std::make_unique<Recovery>(options.stateFolder, sf::seconds(float(options.autosaveSeconds)),
                                              time, *this->console);
        offerRecovery();
    }
}

void Game::offerRecovery()
{
    if (recovery->offeredFile().empty())
        return;
    const std::string& from = recovery->offeredMapPath();
    *console << "--- Recovery: a map with changes that were not saved"
             << (from.empty() ? std::string(" (a new map)") : " (of " + from + ")") << " is kept in "
             << recovery->offeredFile() << ". Press F9 to load it, Shift+F9 to discard it." << std::endl;
    headUpDisplay->showMessage("Unsaved map found: F9 loads it, Shift+F9 discards it", RecoveryMessageSeconds);
}

Game::~Game() = default;

sf::Uint32 Game::playStyle() const
{
    // Without full screen a normal window, resizable; the scene stretches with it.
    return options.fullscreen ? sf::Style::Fullscreen : sf::Style::Default;
}

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
    // The new window has the requested size whatever the old one had.
    editorScaleX = static_cast<float>(gameWindow.getSize().x) / SceneWidth;
    editorScaleY = static_cast<float>(gameWindow.getSize().y) / SceneHeight;
}

bool Game::isOpen() const
{
    return gameWindow.isOpen();
}

bool Game::unsavedChanges() const
{
    return !savedRevision || *savedRevision != fieldMap->revision();
}

void Game::loadMapAtStart(const std::string& path)
{
    mapFileSequence(false, [path](FileDialogPurpose) { return path; }, false);
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
            // The view keeps the 1080 x 720 of the start and the window
            // stretches it, scene and texts alike, as full screen stretches
            // the scene. So a scene pixel is now new size / scene size window
            // pixels, and the editor maps the mouse with that.
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

void Game::mapFileSequence(bool saving, const MapFileChooser& choose, bool dialog)
{
    // Full screen gives way to a plain window with a title bar for the
    // dialog to sit on; a plain window stays as the player sized it.
    const bool leaveFullscreen = dialog && options.fullscreen;
    if (leaveFullscreen)
    {
        createWindow(sf::Style::Titlebar);
        gameWindow.clear(sf::Color::Green);
        gameWindow.display();
    }

    std::string file;
    const MapFileChooser remember = [&](FileDialogPurpose purpose) {
        file = choose ? choose(purpose) : std::string();
        return file;
    };
    const MapFileResult result = saving ? saveMap(*fieldMap, remember) : loadMap(*fieldMap, remember);

    if (leaveFullscreen)
        createWindow(playStyle());
    else if (dialog)
        input.releaseAll(); // the keys went to the dialog
    const char* verb = saving ? "--- Saving " : "--- Loading ";
    switch (result.status)
    {
    case MapFileResult::Status::Complete:
        *console << verb << "Complete" << std::endl;
        mapFileDone(saving, file, result);
        break;
    case MapFileResult::Status::Cancelled:
        *console << verb << "Cancelled" << std::endl;
        break;
    case MapFileResult::Status::Failed:
        *console << verb << "Failed: " << result.reason << std::endl;
        break;
    }
}

void Game::mapFileDone(bool saving, const std::string& file, const MapFileResult& result)
{
    if (result.recovered)
    {
        // Recovered work was never saved: it stays unsaved until it is.
        savedRevision.reset();
        mapPath = result.recoveredFrom;
        if (recovery && file == recovery->offeredFile())
            recovery->adoptOffer(fieldMap->revision());
        return;
    }
    savedRevision = fieldMap->revision();
    mapPath = file;
    if (saving && recovery)
        recovery->mapSaved();
}

void Game::recoveryKey(const InputState& in)
{
    // Acts once per press: a file that fails to load is not tried every frame.
    const bool pressed = in.isKeyPressed(RecoveryKey) && !recoveryKeyHeld;
    recoveryKeyHeld = in.isKeyPressed(RecoveryKey);
    if (!recovery || recovery->offeredFile().empty() || !pressed)
        return;
    if (in.isKeyPressed(sf::Keyboard::LShift) || in.isKeyPressed(sf::Keyboard::RShift))
    {
        *console << "--- Recovery file discarded: " << recovery->offeredFile() << std::endl;
        recovery->discardOffer();
        headUpDisplay->showMessage("Unsaved map discarded");
        return;
    }
    const std::string file = recovery->offeredFile();
    mapFileSequence(false, [file](FileDialogPurpose) { return file; }, false);
    headUpDisplay->showMessage(recovery->offeredFile().empty() ? "Unsaved map loaded: F5 saves it"
                                                                : "Loading the unsaved map failed: see the console");
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
        mapFileSequence(true, chooseFile, true);
    if (in.isKeyPressed(sf::Keyboard::F10))
        mapFileSequence(false, chooseFile, true);
    recoveryKey(in);

    mapEditor->update(in, fieldMap.get(), editorScaleX, editorScaleY);
    if (const std::string* message = playerCharacter->update(*fieldMap, in))
        headUpDisplay->showMessage(*message);
    fieldMap->refresh();
    headUpDisplay->update(mapEditor->choices());
    headUpDisplay->setUnsavedMark(unsavedChanges());
    if (options.profile)
        profile.worldMs = millisecondsSince(frameStart);

    drawFrame();
    // Shown exactly while the editor is on; the window hears only of changes.
    if (cursorShown != mapEditor->active())
    {
        gameWindow.setMouseCursorVisible(mapEditor->active());
        cursorShown = mapEditor->active();
    }
    if (in.isKeyPressed(sf::Keyboard::F3))
        capture();

    // After the frame is shown: formatting takes a fraction of a millisecond
    // here, the writing happens on the worker.
    profile.autosaveMs = recovery ? recovery->frame(*fieldMap, unsavedChanges(), mapPath) : 0;
    profile.autosaveWriting = recovery && recovery->writing();

    // Closing is left to the end, so the frame that asked for it is still
    // drawn in full.
    if (closeRequested)
    {
        if (recovery)
            recovery->quit(*fieldMap, unsavedChanges(), mapPath);
        gameWindow.close();
    }
}

void Game::capture()
{
    if (options.captureFolder.empty())
    {
        ScreenCapture(gameWindow);
        return;
    }
    // The time is read before the capture is taken.
    const std::string name = screenCaptureName(localTimeNow());
    const std::filesystem::path folder = std::filesystem::u8path(options.captureFolder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
    {
        std::cerr << "Screen capture " << name << " failed: " << options.captureFolder << ": " << error.message()
                  << std::endl;
        return;
    }
    captureWindowTo(gameWindow, (folder / name).u8string());
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
