#pragma once

#include "app/EditorClipboard.h"
#include "app/EditorZoom.h"
#include "app/FrameDrawer.h"
#include "app/GameWindow.h"
#include "app/MapFiles.h"
#include "app/MapPictureExport.h"
#include "app/ScreenCapture.h"
#include "app/Stamps.h"
#include "content/ContentPictures.h"
#include "content/GameData.h"
#include "editor/Editor.h"
#include "hud/Overlays.h"
#include "hud/UI.h"
#include "mapfile/MapFile.h"
#include "platform/DesktopClipboard.h"
#include "platform/Input.h"
#include "platform/KeyBindings.h"
#include "platform/TimeSource.h"
#include "player/Player.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <future>
#include <iosfwd>
#include <memory>
#include <string>

struct GameOptions
{
    std::string contentRoot = "."; // where Texturen/, Objekte/, Items/ and ico.png are
    bool fullscreen = true;        // false: a normal resizable window of the same size
    bool limitFrameRate = true;    // false: no frame limit and no vertical sync (benchmarks)
    bool profile = false;          // true: time the parts of every frame (waits for the GPU, so slower)
    // true: a frame that would show what the last one showed reuses the scene
    // and leaves the window as it is; false: every frame is drawn in full.
    bool reuseUnchangedFrames = true;
    std::string stateFolder{};     // where the recovery files live; empty: none are kept or offered
    double autosaveSeconds = DefaultAutosaveSeconds; // between recovery writes; 0: only at quitting
    std::string captureFolder{};   // where F3 writes screenshots; empty: the working directory
    KeyBindings keys{};            // which keys and gamepad buttons do what
    std::string stampsFolder{};    // where the stamps are (app/Stamps); empty: none are listed
    ViewZoom editorZoom = ViewZoom::Game; // the view the editor starts with
};

// The whole game: the window, the content store and every long-lived object,
// and the body of the frame loop, which conducts them in order. `main` owns one and steps it until the
// window closes; tests step it frame by frame with scripted input and a
// manual clock.
class Game
{
public:
    // Opens the window and builds everything in the game's start-up order,
    // printing the content store's lines on `console` (stdout by default).
    explicit Game(const GameOptions& options = {}, const TimeSource& time = TimeSource::system(),
                  std::ostream* console = nullptr);
    ~Game();

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    bool isOpen() const { return gameWindow.isOpen(); }

    // Asks the game to quit as Escape does: the next frame is the last one
    // (signals, the console's close events).
    void requestClose() { closeRequested = true; }

    // Loads the map file `path` the way F10 does, without the dialog
    // (the command line's --map).
    void loadMapAtStart(const std::string& path) { mapFiles->loadAtStart(path); }

    // Writes the recovery file now, when there are unsaved changes, as
    // quitting does (the display is gone and the game is about to end).
    void keepUnsavedWork() { mapFiles->keepUnsavedWork(); }
    // Whether the game closed with unsaved changes that no recovery file holds.
    bool unsavedWorkLost() const { return mapFiles->unsavedWorkLost(); }

    // Whether the map has changes since it was created, loaded or saved.
    // Walking changes none; a recovered map has them until it is saved.
    bool unsavedChanges() const { return mapFiles->unsavedChanges(); }

    // One pass of the frame loop: events, walking, the global keys, the
    // updates, drawing and presenting, the screenshot. A frame that would
    // show what the window already shows draws nothing (see FrameDrawer).
    // `scripted` replaces the keyboard and mouse for this frame; without it
    // the window's own input is used.
    void frame(const InputState* scripted = nullptr);

    // Replaces the file dialog for F5 and F10 (tests); the asker is also told
    // where the dialog would start (see dialogStartPath).
    void setFileChooser(MapFileChooser chooser)
    {
        setFileAsker([chooser](FileDialogPurpose purpose, const std::string&) { return chooser(purpose); });
    }
    void setFileAsker(MapFileAsker asker)
    {
        stamps->setFileAsker(asker);
        mapFiles->setFileAsker(std::move(asker));
    }

    // Whether the game plays in full screen now (F11 switches).
    bool fullScreen() const { return options.fullscreen; }

    // What the game shows, for tests and benchmarks.
    const sf::RenderWindow& window() const { return gameWindow; }
    const GameData& content() const { return *contentStore; }
    const FieldMap& map() const { return *fieldMap; }
    const Editor& editor() const { return *mapEditor; }
    const Player& player() const { return *playerCharacter; }
    const UI& hud() const { return *headUpDisplay; }
    const ContentPicker& picker() const { return overlays->picker(); }
    const MapOverview& overview() const { return overlays->overview(); }
    const EditorGuides& guides() const { return overlays->guides(); }
    // Window pixels per scene pixel, from the window size at start-up.
    sf::Vector2f sceneScale() const { return {sceneScaleX, sceneScaleY}; }
    // The view shown now (the game's while the editor is off).
    ViewZoom zoom() const { return viewZoom.shown(); }
    // The scene as drawn by the last frame, as large as the map's view.
    sf::Image sceneImage() const { return frameDrawer->sceneImage(); }
    // Where the last frame's time went; filled only with GameOptions::profile.
    const FrameProfile& lastProfile() const { return profile; }

    // The world itself, to set a scene up before the frames run (tests,
    // benchmarks); the game owns it.
    FieldMap& worldForSetup() { return *fieldMap; }

private:
    sf::Uint32 playStyle() const;
    void createWindow(sf::Uint32 style);
    // The steps of a frame, in order.
    // The window's events, then this frame's input (`scripted` when given).
    InputState takeInput(const InputState* scripted);
    void walk(const InputState& in);
    // Escape, the map file keys, F11 (full screen to a window and back).
    void globalKeys(const InputState& in);
    // The view to show, from the zoom keys and whether the editor is on
    // (since the last frame): the map, the overlays and the editor's mouse
    // follow it.
    void zoom(const InputState& in);
    // The overlays' keys and clicks, then the editor's update.
    void edit(const InputState& in);
    // The player's update, and the map's lazy work for the new view.
    void play(const InputState& in);
    // The HUD and the overlays catch up with the editor and the map.
    void updateViews();
    void mapPictureKey(const InputState& in);
    // Draws and presents (see FrameDrawer), shows the cursor while editing,
    // takes the screenshot.
    void show(const InputState& in);
    // The autosave, the workers' state for the profile, the input kept.
    void afterShowing(const InputState& in);
    void closeIfAsked();
    // Shows `message` on the HUD; nothing for null.
    void say(const std::string* message);
    bool held(const InputState& in, KeyAction action) const { return options.keys.held(in, action); }
    bool pressed(const InputState& in, KeyAction action) const
    {
        return held(in, action) && !held(previousInput, action);
    }
    // Full screen gives way to a plain window with a title bar for a file
    // dialog to sit on (see DialogWindow).
    void dialogWindow(bool opening);

    // Start-up work that needs no graphics: the font files, the content's
    // pictures and the icon decoded. It starts before
    // the window is constructed (which loads the graphics driver, the slowest
    // step of start-up) and runs on the other core meanwhile; the constructor
    // takes each result where the start-up order needs it.
    struct Preparation
    {
        std::future<FontFiles> fonts;
        std::future<DecodedImages> images;
    };
    static Preparation prepare(const std::string& contentRoot);

    GameOptions options;
    std::ostream* console;
    Preparation preparation; // before the window: see above
    sf::RenderWindow gameWindow;
    std::unique_ptr<GameData> contentStore;
    std::unique_ptr<Editor> mapEditor;
    std::unique_ptr<FrameDrawer> frameDrawer;
    float sceneScaleX = 1.f; // window pixels per scene pixel, from the window size at start-up
    float sceneScaleY = 1.f;
    float editorScaleX = 1.f; // what the editor turns mouse positions with; follows resizes
    float editorScaleY = 1.f;
    std::unique_ptr<UI> headUpDisplay;
    std::unique_ptr<FieldMap> fieldMap;
    std::unique_ptr<Player> playerCharacter;
    DesktopClipboard desktopClipboard;
    std::unique_ptr<Stamps> stamps;
    std::unique_ptr<EditorClipboard> editorClipboard;
    // Over the scaled scene; the overview watches the map, so they are
    // declared after it (and go before it).
    std::unique_ptr<Overlays> overlays;
    InputState previousInput; // the last frame's, to tell presses from holds
    EditorZoom viewZoom;
    // The content's pictures for the map picture key, and its worker, which
    // waits for a picture being written when the game ends.
    std::shared_ptr<const ContentPictures> pictureContent;
    std::unique_ptr<MapPictureWriter> mapPictures;
    FrameProfile profile;
    InputTracker input;
    ScreenCapturer screenCapturer;
    bool closeRequested = false;
    bool cursorShown = false; // what the window was last told; a new window starts hidden
    // Watches the map for unsaved changes, so it goes before it.
    std::unique_ptr<MapFiles> mapFiles;
};
