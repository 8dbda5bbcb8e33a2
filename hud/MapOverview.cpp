#include "hud/MapOverview.h"

#include "content/GameData.h"
#include "hud/UI.h"
#include "platform/FrameKey.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>

namespace
{
void appendRect(sf::VertexArray& quads, float left, float top, float width, float height, sf::Color color)
{
    quads.append({{left, top}, color});
    quads.append({{left + width, top}, color});
    quads.append({{left + width, top + height}, color});
    quads.append({{left, top + height}, color});
}

sf::Color darkened(sf::Color c)
{
    const auto part = [](sf::Uint8 v) { return static_cast<sf::Uint8>((v * OverviewSolidPercent + 50) / 100); };
    return {part(c.r), part(c.g), part(c.b)};
}
} // namespace

MapOverview::MapOverview(const GameData* content, sf::Vector2u windowSize, sf::Vector2u sceneSize)
    : content(content), windowSize(static_cast<float>(windowSize.x), static_cast<float>(windowSize.y)),
      sceneSize(static_cast<float>(sceneSize.x), static_cast<float>(sceneSize.y)),
      pixels(std::size_t{FieldCount} * 4, 0), dirty(FieldCount, 0), frame(sf::Quads), marks(sf::Quads)
{
    dirtyFields.reserve(FieldCount); // marking never allocates: the map's observers must not throw
}

void MapOverview::setSceneSize(sf::Vector2u size)
{
    sceneSize = {static_cast<float>(size.x), static_cast<float>(size.y)};
}

MapOverview::~MapOverview()
{
    hide();
}

void MapOverview::show(FieldMap& map)
{
    if (watched == &map)
        return;
    hide();
    if (texture.getSize().x == 0)
    {
        texture.create(MapSize, MapSize);
        sprite.setTexture(texture, true);
    }
    watched = &map;
    map.addObserver(this);
    markAll();
}

void MapOverview::hide()
{
    if (watched)
        watched->removeObserver(this);
    watched = nullptr;
}

void MapOverview::markAll()
{
    dirtyFields.clear();
    for (int index = 0; index < FieldCount; ++index)
    {
        dirty[static_cast<std::size_t>(index)] = 1;
        dirtyFields.push_back(index);
    }
}

void MapOverview::fieldChanged(int column, int row, const FieldValues&) noexcept
{
    const int index = FieldMap::index(column, row);
    if (!dirty[static_cast<std::size_t>(index)])
    {
        dirty[static_cast<std::size_t>(index)] = 1;
        dirtyFields.push_back(index);
    }
}

sf::Color MapOverview::groundColor(int type)
{
    const sf::Texture* sheet = content ? content->fieldTexture(type) : nullptr;
    if (!sheet)
        return sf::Color::Black;
    const std::size_t slot = static_cast<std::size_t>(type);
    if (slot >= groundColors.size())
    {
        groundColors.resize(slot + 1);
        groundColorKnown.resize(slot + 1, false);
    }
    if (!groundColorKnown[slot])
    {
        // Once per type: the tile's pixels read back from the texture.
        const sf::Image image = sheet->copyToImage();
        unsigned long long sum[4] = {0, 0, 0, 0};
        unsigned long long count = 0;
        for (int y = PaletteTile.top; y < PaletteTile.top + PaletteTile.height; ++y)
            for (int x = PaletteTile.left; x < PaletteTile.left + PaletteTile.width; ++x)
            {
                if (x >= static_cast<int>(image.getSize().x) || y >= static_cast<int>(image.getSize().y))
                    continue;
                const sf::Color c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
                sum[0] += c.r;
                sum[1] += c.g;
                sum[2] += c.b;
                sum[3] += c.a;
                ++count;
            }
        const auto mean = [count](unsigned long long total) {
            return static_cast<sf::Uint8>(count ? (total + count / 2) / count : 0);
        };
        groundColors[slot] = sf::Color(mean(sum[0]), mean(sum[1]), mean(sum[2]), mean(sum[3]));
        groundColorKnown[slot] = true;
    }
    return groundColors[slot];
}

sf::Color MapOverview::fieldColor(const Field& field)
{
    if (field.objectId() != 0)
        return OverviewObjectColor;
    sf::Color color = groundColor(field.groundType());
    color.a = 255;
    return field.solid() ? darkened(color) : color;
}

void MapOverview::update()
{
    if (!watched || dirtyFields.empty())
        return;
    int left = MapSize, top = MapSize, right = -1, bottom = -1;
    for (const int index : dirtyFields)
    {
        dirty[static_cast<std::size_t>(index)] = 0;
        const int column = index / MapSize;
        const int row = index % MapSize;
        const sf::Color color = fieldColor(watched->at(column, row));
        std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(row) * MapSize + column) * 4];
        pixel[0] = color.r;
        pixel[1] = color.g;
        pixel[2] = color.b;
        pixel[3] = color.a;
        left = std::min(left, column);
        right = std::max(right, column);
        top = std::min(top, row);
        bottom = std::max(bottom, row);
    }
    dirtyFields.clear();
    // One upload of the rectangle around every changed field.
    const int width = right - left + 1;
    const int height = bottom - top + 1;
    scratch.resize(static_cast<std::size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row)
        std::copy_n(&pixels[(static_cast<std::size_t>(top + row) * MapSize + left) * 4], width * 4,
                    &scratch[static_cast<std::size_t>(row) * width * 4]);
    texture.update(scratch.data(), static_cast<unsigned>(width), static_cast<unsigned>(height),
                   static_cast<unsigned>(left), static_cast<unsigned>(top));
    ++changes;
}

sf::FloatRect MapOverview::bounds() const
{
    return {windowSize.x - OverviewRightMargin - MapSize, windowSize.y - OverviewBottomMargin - MapSize,
            static_cast<float>(MapSize), static_cast<float>(MapSize)};
}

std::optional<sf::Vector2i> MapOverview::fieldAt(sf::Vector2f point) const
{
    const sf::FloatRect area = bounds();
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || point.x < area.left || point.y < area.top)
        return std::nullopt;
    const int column = static_cast<int>(point.x - area.left);
    const int row = static_cast<int>(point.y - area.top);
    if (column >= MapSize || row >= MapSize)
        return std::nullopt;
    return sf::Vector2i(column, row);
}

sf::Color MapOverview::pixel(int column, int row) const
{
    const std::uint8_t* p = &pixels[(static_cast<std::size_t>(row) * MapSize + column) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void MapOverview::draw(sf::RenderTarget& window, sf::Vector2f origin, sf::Vector2i playerField)
{
    if (!watched)
        return;
    const sf::FloatRect area = bounds();
    frame.clear();
    appendRect(frame, area.left - OverviewFrameWidth, area.top - OverviewFrameWidth,
               area.width + 2 * OverviewFrameWidth, area.height + 2 * OverviewFrameWidth, OverviewFrameColor);
    window.draw(frame);
    sprite.setPosition(area.left, area.top);
    window.draw(sprite);

    // The scene's part of the map, in fields, whole pixels, clipped to the picture.
    marks.clear();
    const float left = std::clamp(std::floor(-origin.x / FieldSize), 0.f, float(MapSize));
    const float top = std::clamp(std::floor(-origin.y / FieldSize), 0.f, float(MapSize));
    const float right = std::clamp(std::ceil((sceneSize.x - origin.x) / FieldSize), 0.f, float(MapSize));
    const float bottom = std::clamp(std::ceil((sceneSize.y - origin.y) / FieldSize), 0.f, float(MapSize));
    if (right > left && bottom > top)
    {
        const float x = area.left + left, y = area.top + top, w = right - left, h = bottom - top;
        appendRect(marks, x, y, w, 1, OverviewViewColor);
        appendRect(marks, x, y + h - 1, w, 1, OverviewViewColor);
        appendRect(marks, x, y, 1, h, OverviewViewColor);
        appendRect(marks, x + w - 1, y, 1, h, OverviewViewColor);
    }
    if (FieldMap::onMap(playerField.x, playerField.y))
    {
        const float x = area.left + static_cast<float>(playerField.x);
        const float y = area.top + static_cast<float>(playerField.y);
        appendRect(marks, x - 2, y - 2, 5, 5, OverviewFrameColor);
        appendRect(marks, x - 1, y - 1, 3, 3, OverviewPlayerColor);
    }
    window.draw(marks);
}

void MapOverview::describe(FrameKey& key, sf::Vector2f origin, sf::Vector2i playerField) const
{
    key.add(shown()).add(changes).add(origin).add(sceneSize).add(playerField);
}
