#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

#include <optional>

namespace sf
{
class RenderTarget;
}

class FieldMap;
class FrameKey;
class GameData;

// The grid of field borders (G), one window pixel wide, and its colour.
const sf::Color FieldGridColor(0, 0, 0, 110);
// The field readout: under the brush-size text, scene pixels times the scene
// scale, as small as that text.
constexpr float FieldReadoutLeft = 87.f;
constexpr float FieldReadoutTop = 17.f;

// What the editor adds over the scaled scene, in window pixels: the grid of
// field borders while it is switched on, and the readout of the field under
// the cursor: "Field <column>, <row>  ground <type>  under <type>  object
// <id>  solid yes|no".
class EditorGuides
{
public:
    // The scales are window pixels per scene pixel; `content` must outlive
    // the guides.
    EditorGuides(const GameData* content, sf::Vector2u sceneSize, float sceneScaleX, float sceneScaleY);

    // The grid now covers a view of `sceneSize` scene pixels shown at
    // `scale` window pixels per scene pixel; the readout stays where it is.
    void setView(sf::Vector2u sceneSize, sf::Vector2f scale);

    void setGridShown(bool shown) { grid = shown; }
    bool gridShown() const { return grid; }

    // The readout of `field` of `map`; no field, no readout. The text is
    // rebuilt only when what it says changes.
    void update(const FieldMap& map, const std::optional<sf::Vector2i>& field);
    const sf::Text& readout() const { return text; }
    bool readoutShown() const { return shownField.has_value(); }

    // The grid (when on) for the map at `origin` (scene pixels from the
    // view's corner), then the readout (when there is a field), onto the window.
    void draw(sf::RenderTarget& window, sf::Vector2f origin);
    // Adds what draw() shows to `key` (see FrameKey).
    void describe(FrameKey& key, sf::Vector2f origin) const;

private:
    sf::Vector2f sceneSize;
    sf::Vector2f scale;
    bool grid = false;
    std::optional<sf::Vector2i> shownField;
    int shownValues[4] = {-1, -1, -1, -1}; // ground, under, object, solid the text says
    sf::Text text;
    sf::VertexArray lines;
};
