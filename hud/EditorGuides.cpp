#include "hud/EditorGuides.h"

#include "content/GameData.h"
#include "hud/UI.h"
#include "platform/FrameKey.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>
#include <string>

EditorGuides::EditorGuides(const GameData* content, sf::Vector2u sceneSize, float sceneScaleX, float sceneScaleY)
    : sceneSize(static_cast<float>(sceneSize.x), static_cast<float>(sceneSize.y)), scale(sceneScaleX, sceneScaleY),
      lines(sf::Quads)
{
    if (content)
        text.setFont(content->fonts.consola);
    text.setFillColor(sf::Color::White);
    text.setOutlineColor(sf::Color::Black);
    text.setOutlineThickness(2.f);
    text.setStyle(sf::Text::Bold);
    text.setPosition(FieldReadoutLeft * sceneScaleX, FieldReadoutTop * sceneScaleY);
    text.setScale(sceneScaleX / HudTextScaleDivisor, sceneScaleY / HudTextScaleDivisor);
}

void EditorGuides::setView(sf::Vector2u size, sf::Vector2f sceneScale)
{
    sceneSize = {static_cast<float>(size.x), static_cast<float>(size.y)};
    scale = sceneScale;
}

void EditorGuides::update(const FieldMap& map, const std::optional<sf::Vector2i>& field)
{
    if (!field || !FieldMap::onMap(field->x, field->y))
    {
        shownField.reset();
        return;
    }
    const FieldValues values = map.at(field->x, field->y).values();
    const int now[4] = {values.groundType, values.underType, values.objectId, values.solid ? 1 : 0};
    if (shownField == field && std::equal(now, now + 4, shownValues))
        return;
    shownField = field;
    std::copy(now, now + 4, shownValues);
    text.setString("Field " + std::to_string(field->x) + ", " + std::to_string(field->y) + "  ground " +
                   std::to_string(values.groundType) + "  under " + std::to_string(values.underType) + "  object " +
                   std::to_string(values.objectId) + "  solid " + (values.solid ? "yes" : "no"));
}

void EditorGuides::draw(sf::RenderTarget& window, sf::Vector2f origin)
{
    if (grid)
    {
        // Every border between two fields, and the map's own edges, inside
        // the scene: whole window pixels, so each line is one pixel wide.
        lines.clear();
        const float mapLeft = std::max(origin.x, 0.f), mapRight = std::min(origin.x + MapPixels, sceneSize.x);
        const float mapTop = std::max(origin.y, 0.f), mapBottom = std::min(origin.y + MapPixels, sceneSize.y);
        const auto line = [this](float left, float top, float width, float height) {
            lines.append({{left, top}, FieldGridColor});
            lines.append({{left + width, top}, FieldGridColor});
            lines.append({{left + width, top + height}, FieldGridColor});
            lines.append({{left, top + height}, FieldGridColor});
        };
        if (mapRight > mapLeft && mapBottom > mapTop)
        {
            const float top = std::round(mapTop * scale.y), bottom = std::round(mapBottom * scale.y);
            const float left = std::round(mapLeft * scale.x), right = std::round(mapRight * scale.x);
            for (float x = origin.x + FieldSize * std::ceil((mapLeft - origin.x) / FieldSize); x <= mapRight;
                 x += FieldSize)
                line(std::round(x * scale.x), top, 1.f, bottom - top);
            for (float y = origin.y + FieldSize * std::ceil((mapTop - origin.y) / FieldSize); y <= mapBottom;
                 y += FieldSize)
                line(left, std::round(y * scale.y), right - left, 1.f);
        }
        window.draw(lines);
    }
    if (shownField)
        window.draw(text);
}

void EditorGuides::describe(FrameKey& key, sf::Vector2f origin) const
{
    key.add(origin).add(sceneSize).add(scale).add(grid).add(readoutShown());
    if (readoutShown())
        key.add(text);
}
