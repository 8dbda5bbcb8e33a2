#include "app/Game.h"

#include "app/ScreenCapture.h"
#include "content/ImageFile.h"
#include "platform/Display.h"
#include "platform/UserFolders.h"
#include "world/MapPicture.h"

#include <SFML/OpenGL.hpp>
#include <SFML/System/Sleep.hpp>
#include <SFML/Window/Event.hpp>

#include <chrono>
#include <cmath>
#include <future>
#include <iostream>
#include <optional>
#include <utility>

const char* const windowTitle = "  Quillora Indev 0.0.6 ";

namespace
{
constexpr const char* IconFile = "/ico.png"; // below the content root

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Keys, buttons, wheels and pointer motion leave the window's pixels alone.
// Anything else (focus, resizing, the pointer entering or leaving, events
// yet to be thought of) may come with a window that was covered, resized or
// re-made, so it counts as damage.
bool isInputEvent(sf::Event::EventType type)
{
    switch (type)
    {
    case sf::Event::TextEntered:
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
    case sf::Event::MouseWheelMoved:
    case sf::Event::MouseWheelScrolled:
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
    case sf::Event::MouseMoved:
    case sf::Event::JoystickButtonPressed:
    case sf::Event::JoystickButtonReleased:
    case sf::Event::JoystickMoved:
    case sf::Event::JoystickConnected:
    case sf::Event::JoystickDisconnected:
    case sf::Event::TouchBegan:
    case sf::Event::TouchMoved:
    case sf::Event::TouchEnded:
    case sf::Event::SensorChanged:
        return true;
    default:
        return false;
    }
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
    : options(options), console(console ? console : &std::cout), preparation(prepare(options.contentRoot)),
      screenCapturer(options.captureFolder), sinceFullRedraw(time), sinceFrameEnd(time)
{
    createWindow(playStyle());

    DecodedImages images = preparation.images.get();
    // The icon is set only from an image that loaded, and only if it holds a
    // whole 16 x 16 icon.
    const std::string iconPath = options.contentRoot + IconFile;
    const sf::Image* decodedIcon = images.find(iconPath);
    if (decodedIcon)
        icon = *decodedIcon;
    if ((decodedIcon || loadPngImage(iconPath, icon)) && icon.getSize().x >= IconSize && icon.getSize().y >= IconSize)
    {
        sf::Image scaled;
        scaled.create(IconSize, IconSize);
        scaled.copy(icon, 0, 0, sf::IntRect(0, 0, IconSize, IconSize));
        gameWindow.setIcon(IconSize, IconSize, scaled.getPixelsPtr());
    }

    const FontFiles fonts = preparation.fonts.get();
    contentStore = std::make_unique<GameData>(options.contentRoot, this->console, &fonts, nullptr,
                                              MaxContentImageBytes, &images);
    mapEditor = std::make_unique<Editor>(*contentStore, time, options.keys);

    sceneTexture.create(SceneWidth, SceneHeight, sf::ContextSettings());
    const sf::Vector2u size = gameWindow.getSize();
    sceneSprite.scale(static_cast<float>(size.x) / SceneWidth, static_cast<float>(size.y) / SceneHeight);
    sceneScaleX = sceneSprite.getScale().x;
    sceneScaleY = sceneSprite.getScale().y;
    editorScaleX = sceneScaleX;
    editorScaleY = sceneScaleY;

    headUpDisplay = std::make_unique<UI>(contentStore.get(), size, sceneScaleX, sceneScaleY, time);
    fieldMap = std::make_unique<FieldMap>(*contentStore);
    unsaved = std::make_unique<UnsavedChanges>(*fieldMap);
    playerCharacter = std::make_unique<Player>(size, *contentStore, sceneScaleX, sceneScaleY, options.keys);
    mapOverview = std::make_unique<MapOverview>(contentStore.get(), size, sf::Vector2u(SceneWidth, SceneHeight));
    editorGuides = std::make_unique<EditorGuides>(contentStore.get(), sf::Vector2u(SceneWidth, SceneHeight),
                                                  sceneScaleX, sceneScaleY);
    contentPicker = std::make_unique<ContentPicker>(contentStore.get(), size);
    // The store's pictures, decoded for it, stay in memory for the map picture.
    pictureContent = std::make_shared<const ContentPictures>(*contentStore, options.contentRoot, std::move(images));
    mapPictures = std::make_unique<MapPictureWriter>(options.captureFolder, pictureContent);

    if (!contentStore->hasGroundType(DefaultGroundType))
        *this->console << "--- The content lacks ground type " << DefaultGroundType
                       << ", which every field of a new map has: it shows as nothing, and maps keep it" << std::endl;
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

sf::Uint32 Game::playStyle() const
{
    // Without full screen a normal window, resizable; the scene stretches with it.
    return options.fullscreen ? sf::Style::Fullscreen : sf::Style::Default;
}

Game::~Game()
{
    // The editor's history may be observing the map in the middle of a
    // stroke: it goes first. A map picture being written is waited for.
    mapEditor.reset();
    mapPictures.reset();
}

void openGameWindow(sf::RenderWindow& window, sf::Uint32 style, bool limitFrameRate)
{
    // No depth or stencil buffer, no antialiasing, OpenGL 2.0.
    const sf::ContextSettings context(0, 0, 0, 2, 0);
    const WindowCreationGuard guard(windowTitle);
    window.create(sf::VideoMode(WindowWidth, WindowHeight, WindowBitsPerPixel), windowTitle, style, context);
    window.setMouseCursorVisible(false);
    window.setKeyRepeatEnabled(false);
    if (limitFrameRate)
    {
        window.setFramerateLimit(FrameRateLimit);
        window.setVerticalSyncEnabled(true);
    }
}

void Game::createWindow(sf::Uint32 style)
{
    openGameWindow(gameWindow, style, options.limitFrameRate);
    cursorShown = false;
    windowDamaged = true;
    // Keys held in the window before it was re-created were released elsewhere.
    input.releaseAll();
    input.setFocus(gameWindow.hasFocus());
    // The new window has the requested size whatever the old one had.
    editorScaleX = static_cast<float>(gameWindow.getSize().x) / SceneWidth;
    editorScaleY = static_cast<float>(gameWindow.getSize().y) / SceneHeight;
}

bool Game::isOpen() const
{
    return gameWindow.isOpen();
}

void Game::keepUnsavedWork()
{
    // There is no staying open: a failure is followed by the quit that gives up.
    if (recovery && !recovery->quit(*fieldMap, unsavedChanges(), mapPath))
        recovery->quit(*fieldMap, unsavedChanges(), mapPath);
}

bool Game::unsavedWorkLost() const
{
    return recovery && recovery->lost();
}

bool Game::unsavedChanges() const
{
    return unsaved->any();
}

void Game::loadMapAtStart(const std::string& path)
{
    mapFileSequence(false, [path](FileDialogPurpose) { return FileChoice(path); }, false);
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
        if (!isInputEvent(event.type))
            windowDamaged = true;
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
        FileChoice choice = choose ? choose(purpose) : FileChoice();
        if (const std::string refusal = saving && recovery ? recovery->refusesSaveAs(choice.path) : std::string();
            choice.status == FileChoice::Status::Chosen && !refusal.empty())
            choice = FileChoice::failed(refusal);
        file = choice.path;
        return choice;
    };
    MapFileResult result;
    if (saving)
        result = saveMap(*fieldMap, remember);
    else
    {
        // A load is one edit: undo brings the map back as it was, origin included.
        EditScope load(mapEditor->history(), *fieldMap, EditKind::Loading);
        result = loadMap(*fieldMap, remember);
        if (result.status != MapFileResult::Status::Complete)
            load.discard();
    }

    if (leaveFullscreen)
        createWindow(playStyle());
    else if (dialog)
    {
        input.releaseAll(); // the keys went to the dialog
        windowDamaged = true; // and the dialog stood over the window
    }
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
        unsaved->markNeverSaved();
        mapPath = result.recoveredFrom;
        if (recovery && file == recovery->offeredFile())
            recovery->adoptOffer(fieldMap->revision());
        return;
    }
    unsaved->markSaved();
    mapPath = file;
    if (saving && recovery)
        recovery->mapSaved();
}

MapFileChooser Game::dialogChooser() const
{
    const std::string start = dialogStartPath(mapPath, homeFolder());
    return [this, start](FileDialogPurpose purpose) { return askFile(purpose, start); };
}

void Game::quickSave()
{
    if (mapPath.empty())
    {
        mapFileSequence(true, dialogChooser(), true);
        return;
    }
    const std::string file = mapPath;
    mapFileSequence(true, [file](FileDialogPurpose) { return FileChoice(file); }, false);
}

void Game::switchFullScreen()
{
    options.fullscreen = !options.fullscreen;
    createWindow(playStyle());
}

void Game::recoveryKey(const InputState& in)
{
    // Acts once per press: a file that fails to load is not tried every frame.
    const bool pressed = held(in, KeyAction::Recovery) && !recoveryKeyHeld;
    recoveryKeyHeld = held(in, KeyAction::Recovery);
    if (!recovery || recovery->offeredFile().empty() || !pressed)
        return;
    if (shiftHeld(in))
    {
        *console << "--- Recovery file discarded: " << recovery->offeredFile() << std::endl;
        recovery->discardOffer();
        headUpDisplay->showMessage("Unsaved map discarded");
        return;
    }
    const std::string file = recovery->offeredFile();
    mapFileSequence(false, [file](FileDialogPurpose) { return FileChoice(file); }, false);
    headUpDisplay->showMessage(recovery->offeredFile().empty() ? "Unsaved map loaded: F5 saves it"
                                                                : "Loading the unsaved map failed: see the console");
}

void Game::frame(const InputState* scripted)
{
    const auto frameStart = std::chrono::steady_clock::now();
    handleEvents();
    const InputState in = scripted ? *scripted : input.takeFrame(gameWindow);

    walk(in);
    if (pressed(in, KeyAction::Quit))
        closeRequested = true;
    if (held(in, KeyAction::Save))
        mapFileSequence(true, dialogChooser(), true);
    // Once per press of the combination, whichever key went down last.
    if (ctrlHeld(in) && held(in, KeyAction::QuickSave) &&
        !(ctrlHeld(previousInput) && held(previousInput, KeyAction::QuickSave)))
        quickSave();
    if (held(in, KeyAction::Load))
        mapFileSequence(false, dialogChooser(), true);
    recoveryKey(in);
    if (pressed(in, KeyAction::FullScreen))
        switchFullScreen();

    const InputState editorInput = overlays(in);
    if (const std::string* message = mapEditor->update(editorInput, fieldMap.get(), editorScaleX, editorScaleY))
        headUpDisplay->showMessage(*message);
    if (!mapEditor->active())
        contentPicker->setOpen(false);
    if (const std::string* message = playerCharacter->update(*fieldMap, in))
        headUpDisplay->showMessage(*message);
    fieldMap->refresh();
    headUpDisplay->update(mapEditor->choices());
    headUpDisplay->setUnsavedMark(unsavedChanges());
    // Under the picker the mouse points at no field.
    editorGuides->update(*fieldMap, contentPicker->isOpen() ? std::nullopt : mapEditor->hoveredField());
    mapOverview->update();
    mapPictureKey(in);
    if (options.profile)
        profile.worldMs = millisecondsSince(frameStart);

    // A screenshot reads the window back, so its frame is drawn in full.
    drawFrame(pressed(in, KeyAction::Screenshot));
    // Shown exactly while the editor is on; the window hears only of changes.
    if (cursorShown != mapEditor->active())
    {
        gameWindow.setMouseCursorVisible(mapEditor->active());
        cursorShown = mapEditor->active();
    }
    screenCapturer.frame(gameWindow, held(in, KeyAction::Screenshot));

    // After the frame is shown: formatting takes a fraction of a millisecond
    // here, the writing happens on the worker.
    profile.autosaveMs = recovery ? recovery->frame(*fieldMap, unsavedChanges(), mapPath) : 0;
    profile.autosaveWriting = recovery && recovery->writing();
    profile.mapPictureWriting = mapPictures->writing();
    previousInput = in;

    // Closing is left to the end, so the frame that asked for it is still
    // drawn in full.
    if (closeRequested)
    {
        closeRequested = false;
        if (!recovery || recovery->quit(*fieldMap, unsavedChanges(), mapPath))
            gameWindow.close();
        else
            headUpDisplay->showMessage("Unsaved map NOT kept: F5 saves it, Escape quits without it",
                                       RecoveryMessageSeconds);
    }
}

InputState Game::overlays(const InputState& in)
{
    if (pressed(in, KeyAction::Overview))
    {
        if (mapOverview->shown())
            mapOverview->hide();
        else
            mapOverview->show(*fieldMap);
    }
    const bool editing = mapEditor->active();
    if (editing && pressed(in, KeyAction::Grid))
        editorGuides->setGridShown(!editorGuides->gridShown());
    if (editing && pressed(in, KeyAction::Picker))
        contentPicker->setOpen(!contentPicker->isOpen());

    // The overlays are laid out in the window's own coordinates, which a
    // resized window stretches.
    const sf::Vector2f point = gameWindow.mapPixelToCoords(in.mousePosition);
    const bool leftPress = in.leftButton && !previousInput.leftButton;
    InputState forEditor = in;
    bool overOverlay = false;
    if (contentPicker->isOpen())
    {
        // The whole window belongs to the picker: a click chooses, or closes
        // it outside the panel, and the wheel scrolls it.
        overOverlay = true;
        contentPicker->scroll(in.wheelNotches);
        forEditor.wheelNotches = 0.f;
        if (leftPress)
        {
            if (const std::optional<PickerEntry> entry = contentPicker->entryAt(point))
            {
                if (entry->kind == PickerEntry::Kind::Ground)
                    mapEditor->chooseGround(entry->number);
                else
                    mapEditor->chooseObject(entry->number);
                contentPicker->setOpen(false);
            }
            else if (!contentPicker->bounds().contains(point))
                contentPicker->setOpen(false);
        }
    }
    else if (editing && mapOverview->shown())
    {
        if (const std::optional<sf::Vector2i> field = mapOverview->fieldAt(point))
        {
            overOverlay = true;
            if (leftPress)
                travel(*field);
        }
    }
    // A button that went down over an overlay belongs to it until released,
    // wherever the mouse goes meanwhile; over an overlay the map under it is
    // not edited.
    const bool anyButton = in.leftButton || in.rightButton || in.middleButton;
    mouseHeldByOverlay = anyButton && (mouseHeldByOverlay || overOverlay);
    if (overOverlay || mouseHeldByOverlay)
        forEditor.leftButton = forEditor.rightButton = forEditor.middleButton = false;
    return forEditor;
}

void Game::travel(sf::Vector2i field)
{
    const std::optional<sf::Vector2i> free = playerCharacter->nearestFreeField(*fieldMap, field);
    if (!free)
    {
        headUpDisplay->showMessage("No field there to stand on");
        return;
    }
    const sf::Vector2f origin = playerCharacter->originStandingOn(free->x, free->y);
    fieldMap->setOrigin(origin.x, origin.y);
}

void Game::mapPictureKey(const InputState& in)
{
    if (pressed(in, KeyAction::MapPicture))
    {
        if (mapPictures->begin(mapValues(*fieldMap), localTimeNow()))
            headUpDisplay->showMessage("Drawing the whole map ...");
        else
            headUpDisplay->showMessage("A picture of the map is being written already");
    }
    if (const std::optional<MapPictureResult> done = mapPictures->finished())
    {
        if (done->reason.empty())
        {
            *console << "--- Map picture written: " << done->file << std::endl;
            headUpDisplay->showMessage("Map picture written: " + done->file);
        }
        else
        {
            *console << "--- Map picture failed: " << done->reason << std::endl;
            headUpDisplay->showMessage("Map picture failed: " + done->reason);
        }
    }
}

// Everything the frame about to be drawn shows, in two parts: what is drawn
// into the scene, and what only the window adds over the scaled scene. When
// a part equals what was last drawn, drawing it again would give the same
// pixels, so it is reused.
//
// Anything that drawScene() or present() draws, or that one of the drawers
// they call comes to depend on, must go into these keys, or it shows late
// (up to FullRedrawInterval late). Add it here next to its kind.
void Game::describeFrame(FrameKey& scene, FrameKey& window) const
{
    scene.clear();
    window.clear();

    // The map, with the player between its objects.
    scene.add(fieldMap->origin()).add(fieldMap->revision()).add(fieldMap->drawRevision());
    scene.add(playerCharacter->sprite());
    // The editor's cursor, and its choices, which the HUD's sprites show.
    const EditorChoices& choices = mapEditor->choices();
    static_assert(sizeof(EditorChoices) == 6 * sizeof(int),
                  "a new editor choice: add it below if anything drawn shows it, then update this size");
    scene.add(choices.active).add(choices.mode).add(choices.underLayer).add(choices.selectedGround);
    scene.add(choices.selectedObject).add(choices.brushSize);
    scene.add(mapEditor->cursor());
    // The outline of a rectangle being dragged, the unsaved-changes mark.
    const std::optional<sf::IntRect> outline = mapEditor->rectangleOutline();
    scene.add(outline.has_value()).add(outline.value_or(sf::IntRect()));
    scene.add(headUpDisplay->showsUnsavedMark());

    // Over the scaled scene: the brush size while the editor is on, the
    // message while it is visible.
    window.add(gameWindow.getSize());
    window.add(headUpDisplay->brushSizeText());
    window.add(headUpDisplay->messageVisible()).add(headUpDisplay->messageText());
    // The grid and the field readout in the editor, the overview, the picker:
    // where the map is and the player stands, what they show.
    window.add(fieldMap->origin()).add(playerCharacter->standingField());
    window.add(choices.active && editorGuides->gridShown()).add(editorGuides->readoutShown());
    if (editorGuides->readoutShown())
        window.add(editorGuides->readout());
    window.add(mapOverview->shown()).add(mapOverview->version());
    window.add(contentPicker->isOpen()).add(contentPicker->firstRow());
    window.add(choices.selectedGround).add(choices.selectedObject);
}

// Drawing the same picture 60 times a second costs a software renderer a
// third of a core, so a frame that would show exactly what the window shows
// draws nothing: the scene texture keeps the last scene, and the window is
// neither drawn nor displayed. When only the window's texts changed the
// scene is reused and the window drawn again. The window is still drawn in
// full after any event that may have spoilt it (re-creation, resizing,
// focus), for a screenshot, and at least every FullRedrawInterval, since a
// window that was covered and uncovered is not always reported.
void Game::drawFrame(bool fullRedraw)
{
    describeFrame(nextScene, nextWindow);
    const bool all = !options.reuseUnchangedFrames || fullRedraw || windowDamaged ||
                     sinceFullRedraw.getElapsedTime().asSeconds() >= FullRedrawInterval;
    const bool sceneChanged = all || nextScene != shownScene;
    const bool windowChanged = sceneChanged || nextWindow != shownWindow;
    profile.sceneDrawn = sceneChanged;
    profile.presented = windowChanged;
    if (options.profile)
    {
        profile.sceneMs = 0;
        profile.presentMs = 0;
        profile.sceneDrawCalls = 0;
    }

    if (sceneChanged)
    {
        drawScene();
        std::swap(shownScene, nextScene);
    }
    if (windowChanged)
    {
        present(!lastFramePresented);
        std::swap(shownWindow, nextWindow);
        windowDamaged = false;
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

void Game::drawScene()
{
    const auto sceneStart = std::chrono::steady_clock::now();
    sceneTexture.clear(sf::Color::Blue);
    const sf::Sprite& playerSprite = playerCharacter->sprite();
    worldRenderer.draw(sceneTexture, *fieldMap, playerSprite, playerSprite.getPosition().y);
    if (mapEditor->active())
        sceneTexture.draw(mapEditor->cursor());
    if (const std::optional<sf::IntRect> outline = mapEditor->rectangleOutline())
        headUpDisplay->drawRectangleOutline(sceneTexture, *outline);
    headUpDisplay->draw(sceneTexture, mapEditor->choices());
    sceneTexture.display();
    if (options.profile)
    {
        glFinish(); // count the rasterising, not just the queuing
        profile.sceneMs = millisecondsSince(sceneStart);
        profile.sceneDrawCalls = worldRenderer.drawCalls();
    }
}

void Game::present(bool afterIdleFrame)
{
    const auto presentStart = std::chrono::steady_clock::now();
    gameWindow.clear(sf::Color::Green);
    sceneSprite.setTexture(sceneTexture.getTexture(), false);
    gameWindow.draw(sceneSprite);
    if (mapEditor->active())
        editorGuides->draw(gameWindow, fieldMap->origin());
    mapOverview->draw(gameWindow, fieldMap->origin(), playerCharacter->standingField());
    headUpDisplay->drawTexts(gameWindow, mapEditor->choices());
    contentPicker->draw(gameWindow, mapEditor->choices());
    // SFML's frame limit counts from its last display, which idle frames
    // skipped, so it would not wait now.
    if (afterIdleFrame)
        waitOutFrame();
    gameWindow.display();
    if (options.profile)
        profile.presentMs = millisecondsSince(presentStart);
}

// Frames that display nothing are paced here, on the game's clock, as the
// frame limit paces those that display.
void Game::waitOutFrame()
{
    if (!options.limitFrameRate)
        return;
    const sf::Time rest = sf::seconds(1.f / FrameRateLimit) - sinceFrameEnd.getElapsedTime();
    if (rest > sf::Time::Zero)
        sf::sleep(rest);
}
