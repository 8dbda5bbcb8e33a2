#include "app/Game.h"

#include "platform/Console.h"
#include "world/MapPicture.h"

#include <SFML/Window/Event.hpp>

#include <chrono>
#include <future>
#include <iostream>
#include <optional>
#include <utility>

namespace
{
double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

Game::Preparation Game::prepare(const std::string& contentRoot)
{
    Preparation work;
    work.fonts = std::async(std::launch::async, &FontFiles::find);
    work.images = std::async(std::launch::async, [contentRoot] {
        DecodedImages images = GameData::decodeImages(contentRoot);
        images.decode(contentRoot + IconFile);
        return images;
    });
    return work;
}

Game::Game(const GameOptions& options, const TimeSource& time, std::ostream* console)
    : options(options), console(console ? console : &consoleOut()), preparation(prepare(options.contentRoot)),
      viewZoom(options.editorZoom), screenCapturer(options.captureFolder)
{
    createWindow(playStyle());

    DecodedImages images = preparation.images.get();
    setGameIcon(gameWindow, images, options.contentRoot + IconFile);
    const FontFiles fonts = preparation.fonts.get();
    contentStore = std::make_unique<GameData>(options.contentRoot, this->console, &fonts, nullptr,
                                              MaxContentImageBytes, &images);
    mapEditor = std::make_unique<Editor>(*contentStore, time, options.keys);

    const sf::Vector2u size = gameWindow.getSize();
    sceneScaleX = static_cast<float>(size.x) / SceneWidth;
    sceneScaleY = static_cast<float>(size.y) / SceneHeight;
    frameDrawer = std::make_unique<FrameDrawer>(gameWindow, sceneScale(), options.reuseUnchangedFrames,
                                                options.limitFrameRate, options.profile, time);

    headUpDisplay = std::make_unique<UI>(contentStore.get(), size, sceneScaleX, sceneScaleY, time);
    fieldMap = std::make_unique<FieldMap>(*contentStore);
    playerCharacter = std::make_unique<Player>(size, *contentStore, sceneScaleX, sceneScaleY, options.keys);
    overlays = std::make_unique<Overlays>(contentStore.get(), this->options.keys, size,
                                          sf::Vector2u(SceneWidth, SceneHeight), sceneScaleX, sceneScaleY);
    // The store's pictures, decoded for it, stay in memory for the map picture.
    pictureContent = std::make_shared<const ContentPictures>(*contentStore, options.contentRoot, std::move(images));
    mapPictures = std::make_unique<MapPictureWriter>(options.captureFolder, pictureContent);

    if (!contentStore->hasGroundType(DefaultGroundType))
        *this->console << "--- The content lacks ground type " << DefaultGroundType
                       << ", which every field of a new map has: it shows as nothing, and maps keep it" << std::endl;
    mapFiles = std::make_unique<MapFiles>(*fieldMap, *mapEditor, *headUpDisplay, this->options.keys, time,
                                          *this->console, options.stateFolder, options.autosaveSeconds,
                                          [this](bool opening) { dialogWindow(opening); });
    stamps = std::make_unique<Stamps>(*contentStore, options.stampsFolder, desktopClipboard, *this->console,
                                      askForMapFile, [this](bool opening) { dialogWindow(opening); });
    editorClipboard = std::make_unique<EditorClipboard>(*mapEditor, *stamps, options.keys);
    overlays->picker().setStampLister([this] { return stamps->names(); });
}

Game::~Game()
{
    // The editor's history may be observing the map in the middle of a
    // stroke: it goes first. A map picture being written is waited for.
    mapEditor.reset();
    mapPictures.reset();
}

sf::Uint32 Game::playStyle() const
{
    // Without full screen a normal window, resizable; the scene stretches with it.
    return options.fullscreen ? sf::Style::Fullscreen : sf::Style::Default;
}

void Game::createWindow(sf::Uint32 style)
{
    openGameWindow(gameWindow, style, options.limitFrameRate);
    cursorShown = false;
    if (frameDrawer) // a new drawer starts with a damaged window
        frameDrawer->windowDamaged();
    // Keys held in the window before it was re-created were released elsewhere.
    input.releaseAll();
    input.setFocus(gameWindow.hasFocus());
    // The new window has the requested size whatever the old one had.
    editorScaleX = static_cast<float>(gameWindow.getSize().x) / SceneWidth;
    editorScaleY = static_cast<float>(gameWindow.getSize().y) / SceneHeight;
}

void Game::dialogWindow(bool opening)
{
    // Full screen gives way to a plain window with a title bar for the
    // dialog to sit on; a plain window stays as the player sized it.
    if (options.fullscreen)
    {
        createWindow(opening ? sf::Uint32(sf::Style::Titlebar) : playStyle());
        if (opening)
        {
            gameWindow.clear(sf::Color::Green);
            gameWindow.display();
        }
    }
    else if (!opening)
    {
        input.releaseAll();           // the keys went to the dialog
        frameDrawer->windowDamaged(); // and the dialog stood over the window
    }
}

void Game::frame(const InputState* scripted)
{
    const auto frameStart = std::chrono::steady_clock::now();
    const InputState in = takeInput(scripted);
    walk(in);
    globalKeys(in);
    zoom(in);
    edit(in);
    play(in);
    updateViews();
    mapPictureKey(in);
    if (options.profile)
        profile.worldMs = millisecondsSince(frameStart);
    show(in);
    afterShowing(in);
    // Closing is left to the end, so the frame that asked for it is still
    // drawn in full.
    closeIfAsked();
}

InputState Game::takeInput(const InputState* scripted)
{
    sf::Event event;
    while (gameWindow.pollEvent(event))
    {
        input.handle(event);
        if (spoilsWindow(event))
            frameDrawer->windowDamaged();
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
    return scripted ? *scripted : input.takeFrame(gameWindow);
}

void Game::walk(const InputState& in)
{
    // The world moves against the walk. A step into something, or off the
    // map, is taken back whole: no sliding along walls. With Ctrl held the
    // quick-save keys save and do not walk (Ctrl+S is no step down).
    InputState walking = in;
    if (ctrlHeld(in))
        for (const sf::Keyboard::Key key : options.keys.binding(KeyAction::QuickSave).keys)
            walking.press(key, false);
    const sf::Vector2i step = playerCharacter->walkStep(walking);
    const float dx = static_cast<float>(step.x);
    const float dy = static_cast<float>(step.y);
    const bool leavesMap = playerCharacter->stepLeavesMap(*fieldMap, dx, dy);
    fieldMap->scroll(dx, dy);
    if (playerCharacter->collides(*fieldMap) || leavesMap)
        fieldMap->scroll(-dx, -dy);
}

void Game::globalKeys(const InputState& in)
{
    if (pressed(in, KeyAction::Quit))
        closeRequested = true;
    mapFiles->keys(in, previousInput);
    if (pressed(in, KeyAction::FullScreen))
    {
        // The map, the editor and the view stay; the mouse is mapped with
        // the new window's size.
        options.fullscreen = !options.fullscreen;
        createWindow(playStyle());
    }
}

void Game::zoom(const InputState& in)
{
    // The view follows the editor's state since the last frame, so every
    // frame is drawn and hit-tested in one view.
    const ViewZoom view = viewZoom.update(in, previousInput, options.keys, mapEditor->active(),
                                          !overlays->picker().isOpen());
    const sf::IntRect area = zoomedView(view);
    fieldMap->setViewArea(area);
    const float factor = static_cast<float>(zoomFactor(view));
    overlays->setView(sf::Vector2u(unsigned(area.width), unsigned(area.height)), sceneScaleX / factor,
                      sceneScaleY / factor);
}

void Game::edit(const InputState& in)
{
    // The overlays are laid out in the window's own coordinates, which a
    // resized window stretches.
    const OverlayInput routed = overlays->route(in, previousInput, gameWindow.mapPixelToCoords(in.mousePosition),
                                                mapEditor->active(), *fieldMap, *playerCharacter, *headUpDisplay);
    if (routed.chosen && routed.chosen->kind == PickerEntry::Kind::Ground)
        mapEditor->chooseGround(routed.chosen->number);
    else if (routed.chosen && routed.chosen->kind == PickerEntry::Kind::Object)
        mapEditor->chooseObject(routed.chosen->number);
    else if (routed.chosen)
        headUpDisplay->showMessage(editorClipboard->chooseStamp(overlays->picker().stampNames().at(
            static_cast<std::size_t>(routed.chosen->number))));
    // Ctrl + the wheel steps the view, not the editor's choice.
    InputState forEditor = routed.forEditor;
    if (ctrlHeld(in))
        forEditor.wheelNotches = 0.f;
    say(editorClipboard->beforeUpdate(forEditor, previousInput));
    const float factor = static_cast<float>(zoomFactor(viewZoom.shown()));
    say(mapEditor->update(forEditor, fieldMap.get(), editorScaleX / factor, editorScaleY / factor));
    say(editorClipboard->afterUpdate(in, previousInput));
}

void Game::play(const InputState& in)
{
    say(playerCharacter->update(*fieldMap, in));
    fieldMap->refresh();
}

void Game::updateViews()
{
    headUpDisplay->update(mapEditor->choices());
    headUpDisplay->setUnsavedMark(unsavedChanges());
    overlays->update(*fieldMap, mapEditor->active(), mapEditor->hoveredField());
}

void Game::mapPictureKey(const InputState& in)
{
    if (pressed(in, KeyAction::MapPicture))
        headUpDisplay->showMessage(mapPictures->begin(mapValues(*fieldMap), localTimeNow())
                                       ? "Drawing the whole map ..."
                                       : "A picture of the map is being written already");
    if (const std::optional<MapPictureResult> done = mapPictures->finished())
    {
        const std::string line = *done ? "Map picture written: " + done->file : "Map picture failed: " + done->reason;
        *console << "--- " << line << std::endl;
        headUpDisplay->showMessage(line);
    }
}

void Game::show(const InputState& in)
{
    // A screenshot reads the window back, so its frame is drawn in full.
    const FrameParts parts{*fieldMap, *playerCharacter, *mapEditor, *headUpDisplay, *overlays};
    frameDrawer->draw(parts, pressed(in, KeyAction::Screenshot), profile);
    // Shown exactly while the editor is on; the window hears only of changes.
    if (cursorShown != mapEditor->active())
    {
        gameWindow.setMouseCursorVisible(mapEditor->active());
        cursorShown = mapEditor->active();
    }
    screenCapturer.frame(gameWindow, held(in, KeyAction::Screenshot));
}

void Game::afterShowing(const InputState& in)
{
    // Formatting takes a fraction of a millisecond here, the writing happens
    // on the worker.
    profile.autosaveMs = mapFiles->autosave();
    profile.autosaveWriting = mapFiles->autosaveWriting();
    profile.mapPictureWriting = mapPictures->writing();
    previousInput = in;
}

void Game::say(const std::string* message)
{
    if (message)
        headUpDisplay->showMessage(*message);
}

void Game::closeIfAsked()
{
    if (!closeRequested)
        return;
    closeRequested = false;
    if (mapFiles->quit())
        gameWindow.close();
}
