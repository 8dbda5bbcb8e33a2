#pragma once

#include "platform/FrameKey.h"
#include "app/MapPictureExport.h"
#include "app/ScreenCapture.h"
#include "app/Recovery.h"
#include "app/UnsavedChanges.h"
#include "content/ContentPictures.h"
#include "content/GameData.h"
#include "editor/Editor.h"
#include "hud/ContentPicker.h"
#include "hud/EditorGuides.h"
#include "hud/MapOverview.h"
#include "hud/UI.h"
#include "mapfile/MapFile.h"
#include "platform/Input.h"
#include "platform/KeyBindings.h"
#include "platform/TimeSource.h"
#include "player/Player.h"
#include "world/FieldMap.h"
#include "world/WorldRenderer.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <future>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

constexpr unsigned WindowWidth = 1080;      // pixels of the requested video mode
constexpr unsigned WindowHeight = 720;      // pixels
constexpr unsigned WindowBitsPerPixel = 32; // colour depth of the video mode
constexpr unsigned FrameRateLimit = 60;     // frames per second
constexpr unsigned SceneWidth = GameViewWidth;   // scene pixels: 20 fields
constexpr unsigned SceneHeight = GameViewHeight; // scene pixels: 12 fields
constexpr unsigned IconSize = 16;           // pixels per side of the window icon
// A window left alone is still drawn and displayed in full at least this
// often: it may have been covered and uncovered without the game hearing of it.
constexpr float FullRedrawInterval = 0.5f; // seconds
constexpr float RecoveryMessageSeconds = 12.f; // how long the start-up message about a recovery file stays

extern const char* const windowTitle;

// Opens `window` as the game opens every window of its own: 1080 x 720 x 32,
// the title, `style`, no depth or stencil buffer, no antialiasing, OpenGL
// 2.0; mouse cursor hidden, key repeat off; with `limitFrameRate`, at most
// FrameRateLimit frames per second and vertical sync.
void openGameWindow(sf::RenderWindow& window, sf::Uint32 style, bool limitFrameRate);

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
};

// Where the time of the last frame went, in milliseconds; filled only when
// GameOptions::profile is set (a part that was skipped counts 0).
struct FrameProfile
{
    double worldMs = 0;   // walking, scroll, collision, editor, player, refresh, HUD update
    double sceneMs = 0;   // drawing the 320 x 192 scene, rasterising included
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

// The whole game: the window, the content store and every long-lived object,
// and the body of the frame loop. `main` owns one and steps it until the
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

    bool isOpen() const;

    // Asks the game to quit as Escape does: the next frame is the last one
    // (signals, the console's close events).
    void requestClose() { closeRequested = true; }

    // Loads the map file `path` the way F10 does, without the dialog
    // (the command line's --map).
    void loadMapAtStart(const std::string& path);

    // Writes the recovery file now, when there are unsaved changes, as
    // quitting does (the display is gone and the game is about to end).
    void keepUnsavedWork();
    // Whether the game closed with unsaved changes that no recovery file holds.
    bool unsavedWorkLost() const;

    // Whether the map has changes since it was created, loaded or saved.
    // Walking changes none; a recovered map has them until it is saved.
    bool unsavedChanges() const;

    // One pass of the frame loop: events, walking, the global keys, the
    // updates, drawing and presenting, the screenshot. A frame that would
    // show what the window already shows draws nothing (see drawFrame).
    // `scripted` replaces the keyboard and mouse for this frame; without it
    // the window's own input is used.
    void frame(const InputState* scripted = nullptr);

    // Replaces the file dialog for F5 and F10 (tests); the asker is also told
    // where the dialog would start (see dialogStartPath).
    void setFileChooser(MapFileChooser chooser)
    {
        askFile = [chooser](FileDialogPurpose purpose, const std::string&) { return chooser(purpose); };
    }
    void setFileAsker(MapFileAsker asker) { askFile = std::move(asker); }

    // Whether the game plays in full screen now (F11 switches).
    bool fullScreen() const { return options.fullscreen; }

    // What the game shows, for tests and benchmarks.
    const sf::RenderWindow& window() const { return gameWindow; }
    const GameData& content() const { return *contentStore; }
    const FieldMap& map() const { return *fieldMap; }
    const Editor& editor() const { return *mapEditor; }
    const Player& player() const { return *playerCharacter; }
    const UI& hud() const { return *headUpDisplay; }
    const ContentPicker& picker() const { return *contentPicker; }
    const MapOverview& overview() const { return *mapOverview; }
    const EditorGuides& guides() const { return *editorGuides; }
    // Window pixels per scene pixel, from the window size at start-up.
    sf::Vector2f sceneScale() const { return {sceneScaleX, sceneScaleY}; }
    // The scene as drawn by the last frame, 320 x 192.
    sf::Image sceneImage() const;
    // Where the last frame's time went; filled only with GameOptions::profile.
    const FrameProfile& lastProfile() const { return profile; }

    // The world itself, to set a scene up before the frames run (tests,
    // benchmarks); the game owns it.
    FieldMap& worldForSetup() { return *fieldMap; }

private:
    sf::Uint32 playStyle() const;
    void createWindow(sf::Uint32 style);
    void handleEvents();
    void walk(const InputState& input);
    // Saving or loading, with the file from `choose`: F5, F10 (with the
    // dialog), --map and the recovery key. Every load goes through here.
    void mapFileSequence(bool saving, const MapFileChooser& choose, bool dialog);
    void mapFileDone(bool saving, const std::string& file, const MapFileResult& result);
    void offerRecovery();
    void capture();
    void recoveryKey(const InputState& in);
    // The keys and clicks of what lies over the scene (the overview, the
    // grid, the picker), before the editor's update; returns the input the
    // editor gets: without the buttons while the mouse belongs to one of them.
    InputState overlays(const InputState& in);
    // Moves the map so that the player stands on `field`, or the nearest field
    // where nothing blocks them.
    void travel(sf::Vector2i field);
    void mapPictureKey(const InputState& in);
    bool held(const InputState& in, KeyAction action) const { return options.keys.held(in, action); }
    bool pressed(const InputState& in, KeyAction action) const
    {
        return held(in, action) && !held(previousInput, action);
    }
    // F5 and F10: the dialog, starting at the map's own file.
    MapFileChooser dialogChooser() const;
    // Ctrl+S: the map's own file without a dialog; the dialog when it has none.
    void quickSave();
    // F11: full screen to a window and back; the map, the editor and the
    // view stay, and the mouse is mapped with the new window's size.
    void switchFullScreen();
    void describeFrame(FrameKey& scene, FrameKey& window) const;
    void drawFrame(bool fullRedraw);
    void drawScene();
    void present(bool afterIdleFrame);
    void waitOutFrame();

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
    MapFileAsker askFile = askForMapFile;
    Preparation preparation; // before the window: see above
    sf::RenderWindow gameWindow;
    sf::Image icon;
    std::unique_ptr<GameData> contentStore;
    std::unique_ptr<Editor> mapEditor;
    sf::Sprite sceneSprite;
    sf::RenderTexture sceneTexture;
    float sceneScaleX = 1.f; // window pixels per scene pixel, from the window size at start-up
    float sceneScaleY = 1.f;
    float editorScaleX = 1.f; // what the editor turns mouse positions with; follows resizes
    float editorScaleY = 1.f;
    std::unique_ptr<UI> headUpDisplay;
    std::unique_ptr<FieldMap> fieldMap;
    WorldRenderer worldRenderer;
    std::unique_ptr<Player> playerCharacter;
    // Over the scaled scene; the overview watches the map, so it is declared
    // after it (and goes before it).
    std::unique_ptr<MapOverview> mapOverview;
    std::unique_ptr<EditorGuides> editorGuides;
    std::unique_ptr<ContentPicker> contentPicker;
    InputState previousInput;       // the last frame's, to tell presses from holds
    bool mouseHeldByOverlay = false; // a button went down over an overlay and is not yet released
    // The content's pictures for the map picture key, and its worker, which
    // waits for a picture being written when the game ends.
    std::shared_ptr<const ContentPictures> pictureContent;
    std::unique_ptr<MapPictureWriter> mapPictures;
    FrameProfile profile;
    InputTracker input;
    ScreenCapturer screenCapturer;
    bool closeRequested = false;
    bool cursorShown = false; // what the window was last told; a new window starts hidden

    // What the scene texture and the window show now, and the keys of the
    // frame being drawn (kept here so their memory is reused).
    FrameKey shownScene, shownWindow, nextScene, nextWindow;
    bool windowDamaged = true; // a new window, or an event that may have spoilt its pixels
    bool lastFramePresented = true;
    Stopwatch sinceFullRedraw;
    Stopwatch sinceFrameEnd;
    bool recoveryKeyHeld = false; // the recovery key was down in the last frame
    std::unique_ptr<UnsavedChanges> unsaved;
    std::string mapPath;                        // the map's own file: where it was last loaded from or saved to
    std::unique_ptr<Recovery> recovery;         // null without a state folder
};
