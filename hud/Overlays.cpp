#include "hud/Overlays.h"

#include "hud/UI.h"
#include "platform/KeyBindings.h"
#include "player/Player.h"
#include "world/FieldMap.h"

Overlays::Overlays(const GameData* content, const KeyBindings& keys, sf::Vector2u windowSize, sf::Vector2u sceneSize,
                   float sceneScaleX, float sceneScaleY)
    : keys(keys), mapOverview(content, windowSize, sceneSize), editorGuides(content, sceneSize, sceneScaleX, sceneScaleY),
      contentPicker(content, windowSize)
{
}

void Overlays::setView(sf::Vector2u sceneSize, float sceneScaleX, float sceneScaleY)
{
    mapOverview.setSceneSize(sceneSize);
    editorGuides.setView(sceneSize, {sceneScaleX, sceneScaleY});
}

bool Overlays::pressed(const InputState& in, const InputState& previous, KeyAction action) const
{
    return keys.held(in, action) && !keys.held(previous, action);
}

OverlayInput Overlays::route(const InputState& in, const InputState& previous, sf::Vector2f mouse, bool editing,
                             FieldMap& map, const Player& player, UI& hud)
{
    if (pressed(in, previous, KeyAction::Overview))
    {
        if (mapOverview.shown())
            mapOverview.hide();
        else
            mapOverview.show(map);
    }
    if (editing && pressed(in, previous, KeyAction::Grid))
        editorGuides.setGridShown(!editorGuides.gridShown());
    if (editing && pressed(in, previous, KeyAction::Picker))
        contentPicker.setOpen(!contentPicker.isOpen());

    const bool leftPress = in.leftButton && !previous.leftButton;
    OverlayInput routed{in, std::nullopt};
    bool overOverlay = false;
    if (contentPicker.isOpen())
    {
        // The whole window belongs to the picker: a click chooses, or closes
        // it outside the panel, and the wheel scrolls it.
        overOverlay = true;
        contentPicker.scroll(in.wheelNotches);
        routed.forEditor.wheelNotches = 0.f;
        if (leftPress)
        {
            routed.chosen = contentPicker.entryAt(mouse);
            if (routed.chosen || !contentPicker.bounds().contains(mouse))
                contentPicker.setOpen(false);
        }
    }
    else if (editing && mapOverview.shown())
    {
        if (const std::optional<sf::Vector2i> field = mapOverview.fieldAt(mouse))
        {
            overOverlay = true;
            if (leftPress)
                travel(*field, map, player, hud);
        }
    }
    // Over an overlay the map under it is not edited, and a button that went
    // down there stays its own wherever the mouse goes meanwhile.
    const bool anyButton = in.leftButton || in.rightButton || in.middleButton;
    mouseHeldByOverlay = anyButton && (mouseHeldByOverlay || overOverlay);
    if (overOverlay || mouseHeldByOverlay)
        routed.forEditor.leftButton = routed.forEditor.rightButton = routed.forEditor.middleButton = false;
    return routed;
}

void Overlays::travel(sf::Vector2i field, FieldMap& map, const Player& player, UI& hud)
{
    const std::optional<sf::Vector2i> free = player.nearestFreeField(map, field);
    if (!free)
    {
        hud.showMessage("No field there to stand on");
        return;
    }
    const sf::Vector2f origin = player.originStandingOn(free->x, free->y);
    map.setOrigin(origin.x, origin.y);
}

void Overlays::update(const FieldMap& map, bool editing, const std::optional<sf::Vector2i>& hovered)
{
    if (!editing)
        contentPicker.setOpen(false);
    editorGuides.update(map, contentPicker.isOpen() ? std::nullopt : hovered);
    mapOverview.update();
}
