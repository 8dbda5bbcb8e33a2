#pragma once

#include "hud/ContentPicker.h"
#include "hud/EditorGuides.h"
#include "hud/MapOverview.h"
#include "platform/Input.h"
#include "platform/KeyBindings.h"

#include <SFML/System/Vector2.hpp>

#include <optional>

class FieldMap;
class GameData;
class Player;
class UI;

// What the overlays leave of a frame's input for the editor.
struct OverlayInput
{
    // The input with the buttons taken away while the mouse belongs to an
    // overlay, and the wheel while the picker is open.
    InputState forEditor;
    // A ground type or object chosen in the picker this frame.
    std::optional<PickerEntry> chosen;
};

// What lies over the scaled scene and answers its own keys and clicks: the
// map overview (M, a click travels), the editor's grid (G) and field readout,
// and the content picker (Tab, a click chooses). Drawn by the frame; the
// three are reached through the accessors.
class Overlays
{
public:
    // `content` and `keys` must outlive the overlays; `windowSize` in window
    // pixels, `sceneSize` in scene pixels, the scales in window pixels per
    // scene pixel.
    Overlays(const GameData* content, const KeyBindings& keys, sf::Vector2u windowSize, sf::Vector2u sceneSize,
             float sceneScaleX, float sceneScaleY);

    // The map's view is now `sceneSize` scene pixels, shown at the scales
    // (window pixels per scene pixel): the grid and the overview's outline
    // follow it.
    void setView(sf::Vector2u sceneSize, float sceneScaleX, float sceneScaleY);

    // The overlays' keys and clicks, before the editor's update: `previous`
    // is the last frame's input, `mouse` the pointer in window pixels (the
    // window's own 1080 x 720 coordinates), `editing` whether the editor is
    // on. A click on the overview moves `map` so that `player` stands on the
    // field clicked, or the nearest free one (else a message on `hud`). A
    // button that went down over an overlay belongs to it until released.
    OverlayInput route(const InputState& in, const InputState& previous, sf::Vector2f mouse, bool editing,
                       FieldMap& map, const Player& player, UI& hud);

    // After the editor's and the world's update: the picker closes with the
    // editor, the readout follows `hovered` (no field under the open picker),
    // the overview catches up with the map's changes.
    void update(const FieldMap& map, bool editing, const std::optional<sf::Vector2i>& hovered);

    MapOverview& overview() { return mapOverview; }
    EditorGuides& guides() { return editorGuides; }
    ContentPicker& picker() { return contentPicker; }
    const MapOverview& overview() const { return mapOverview; }
    const EditorGuides& guides() const { return editorGuides; }
    const ContentPicker& picker() const { return contentPicker; }

private:
    bool pressed(const InputState& in, const InputState& previous, KeyAction action) const;
    // Moves the map so that the player stands on `field`, or the nearest field
    // where nothing blocks them.
    void travel(sf::Vector2i field, FieldMap& map, const Player& player, UI& hud);

    const KeyBindings& keys;
    MapOverview mapOverview;
    EditorGuides editorGuides;
    ContentPicker contentPicker;
    bool mouseHeldByOverlay = false; // a button went down over an overlay and is not yet released
};
