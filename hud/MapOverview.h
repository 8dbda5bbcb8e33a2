#pragma once

#include "world/FieldMap.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <optional>
#include <vector>

namespace sf
{
class RenderTarget;
}

class FrameKey;
class GameData;

// Where the overview stands, window pixels: one pixel per field, in the
// bottom-right corner, above the editor indicator.
constexpr float OverviewRightMargin = 8.f;   // from the window's right edge to the picture
constexpr float OverviewBottomMargin = 40.f; // from the window's bottom edge to the picture
constexpr float OverviewFrameWidth = 2.f;    // the dark frame around the picture
const sf::Color OverviewFrameColor(16, 16, 24);
// How fields are marked: a field with an object in one dark colour (objects
// block the player whatever the field), a solid field in its ground's colour
// darkened to this share of it (a solid lake stays a lake).
const sf::Color OverviewObjectColor(32, 20, 12);
constexpr int OverviewSolidPercent = 55;
const sf::Color OverviewViewColor(255, 255, 255); // the outline of the part of the map on screen
const sf::Color OverviewPlayerColor(255, 214, 0); // the player's field, 3 x 3 pixels with a dark rim

// The whole map in view (M): every field one pixel, in the mean colour of its
// ground type's palette tile, fields with an object or solid marked, the part
// of the map on screen outlined and the player's field marked. Drawn on the
// window after the scaled scene. While shown it watches the map and redraws
// only the fields that changed (every edit, load and undo is a change of
// stored values, which the map reports); while hidden it watches nothing and
// costs nothing, and showing it again draws it whole once.
class MapOverview final : public FieldMapObserver
{
public:
    // `content` must outlive the overview; `windowSize` in window pixels,
    // `sceneSize` in scene pixels (the part of the map on screen).
    MapOverview(const GameData* content, sf::Vector2u windowSize, sf::Vector2u sceneSize);
    ~MapOverview();
    MapOverview(const MapOverview&) = delete;
    MapOverview& operator=(const MapOverview&) = delete;

    // The part of the map on screen is now `sceneSize` scene pixels (the
    // view's size); the origin draw() is given counts from the view's corner.
    void setSceneSize(sf::Vector2u sceneSize);

    // Shows the overview of `map` and watches it until hidden; `map` must
    // stay alive until then (or until the overview dies).
    void show(FieldMap& map);
    void hide();
    bool shown() const { return watched != nullptr; }

    // Redraws the fields changed since the last update (all of them after
    // show) into the picture. Nothing to do while hidden.
    void update();
    // Counts the picture's changes (for the frame key).
    std::uint64_t version() const { return changes; }

    // The picture, its frame, the outline of the scene with the map at
    // `origin` (scene pixels from the view's corner) and the player's field,
    // onto the window.
    void draw(sf::RenderTarget& window, sf::Vector2f origin, sf::Vector2i playerField);
    // Adds what draw() shows to `key` (see FrameKey).
    void describe(FrameKey& key, sf::Vector2f origin, sf::Vector2i playerField) const;

    // The picture's area, window pixels: field (c, r) is the pixel at
    // (left + c, top + r).
    sf::FloatRect bounds() const;
    // The field whose pixel holds `point` (window pixels); empty off the picture.
    std::optional<sf::Vector2i> fieldAt(sf::Vector2f point) const;

    // The colour field (c, r) has in the picture after the last update.
    sf::Color pixel(int column, int row) const;
    // The mean colour (each channel rounded) of ground type `type`'s palette
    // tile; black for a type without a texture.
    sf::Color groundColor(int type);

    void fieldChanged(int column, int row, const FieldValues& before) noexcept override;

private:
    sf::Color fieldColor(const Field& field);
    void markAll();

    const GameData* content;
    sf::Vector2f windowSize;
    sf::Vector2f sceneSize;
    FieldMap* watched = nullptr;
    std::vector<std::uint8_t> pixels;  // RGBA, 200 x 200, row by row
    std::vector<std::uint8_t> scratch; // the rectangle being uploaded
    std::vector<char> dirty;           // by storage index
    std::vector<int> dirtyFields;      // storage indices; never longer than FieldCount
    std::vector<sf::Color> groundColors;
    std::vector<bool> groundColorKnown;
    std::uint64_t changes = 0;
    sf::Texture texture;
    sf::Sprite sprite;
    sf::VertexArray frame;
    sf::VertexArray marks;
};
