#include "hud/ContentPicker.h"

#include "content/GameData.h"
#include "editor/EditorChoices.h"
#include "hud/UI.h"
#include "platform/FrameKey.h"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace
{
constexpr float Pitch = PickerCellSize + PickerCellGap;
const sf::Color PanelColor(16, 16, 24, 230);
const sf::Color CellColor(52, 52, 64);
const sf::Color FrameColor(255, 214, 0);

void appendRect(sf::VertexArray& quads, const sf::FloatRect& r, sf::Color color)
{
    quads.append({{r.left, r.top}, color});
    quads.append({{r.left + r.width, r.top}, color});
    quads.append({{r.left + r.width, r.top + r.height}, color});
    quads.append({{r.left, r.top + r.height}, color});
}

// A frame of `width` around `r`, outside it.
void appendFrame(sf::VertexArray& quads, const sf::FloatRect& r, float width, sf::Color color)
{
    appendRect(quads, {r.left - width, r.top - width, r.width + 2 * width, width}, color);
    appendRect(quads, {r.left - width, r.top + r.height, r.width + 2 * width, width}, color);
    appendRect(quads, {r.left - width, r.top, width, r.height}, color);
    appendRect(quads, {r.left + r.width, r.top, width, r.height}, color);
}

int rowsFor(int entries)
{
    return (entries + PickerColumns - 1) / PickerColumns;
}
} // namespace

ContentPicker::ContentPicker(const GameData* content, sf::Vector2u windowSize)
    : content(content), windowSize(static_cast<float>(windowSize.x), static_cast<float>(windowSize.y)),
      panel(sf::Quads)
{
    if (content)
        number.setFont(content->fonts.consola);
    number.setCharacterSize(PickerNumberSize);
    number.setFillColor(sf::Color::White);
    number.setOutlineColor(sf::Color::Black);
    number.setOutlineThickness(1.f);
}

void ContentPicker::setOpen(bool shown)
{
    if (shown && !open)
    {
        topRow = 0;
        wheelTravel = 0.f;
        stamps = listStamps ? listStamps() : std::vector<std::string>();
        stampLabels.clear();
    }
    open = shown;
}

int ContentPicker::count(PickerEntry::Kind kind) const
{
    switch (kind)
    {
    case PickerEntry::Kind::Ground: return content ? content->groundTypeCount() : 0;
    case PickerEntry::Kind::Object: return content ? content->objectCount() : 0;
    case PickerEntry::Kind::Stamp: return static_cast<int>(stamps.size());
    }
    return 0;
}

int ContentPicker::groundRows() const
{
    return rowsFor(count(PickerEntry::Kind::Ground));
}

int ContentPicker::objectRows() const
{
    return rowsFor(count(PickerEntry::Kind::Object));
}

int ContentPicker::totalRows() const
{
    return groundRows() + objectRows() + rowsFor(count(PickerEntry::Kind::Stamp));
}

int ContentPicker::firstRowOf(PickerEntry::Kind kind) const
{
    switch (kind)
    {
    case PickerEntry::Kind::Ground: return 0;
    case PickerEntry::Kind::Object: return groundRows();
    case PickerEntry::Kind::Stamp: return groundRows() + objectRows();
    }
    return 0;
}

void ContentPicker::scroll(float notches)
{
    if (!std::isfinite(notches))
        return;
    wheelTravel += notches;
    const int steps = static_cast<int>(wheelTravel);
    wheelTravel -= static_cast<float>(steps);
    topRow = std::clamp(topRow - steps, 0, std::max(0, totalRows() - PickerVisibleRows));
}

sf::FloatRect ContentPicker::bounds() const
{
    const float width = PickerColumns * Pitch - PickerCellGap + 2 * PickerPadding;
    // As tall as the rows need, up to PickerVisibleRows of them.
    const int rows = std::clamp(totalRows(), 1, PickerVisibleRows);
    const float height = static_cast<float>(rows) * Pitch - PickerCellGap + 2 * PickerPadding;
    return {std::round((windowSize.x - width) / 2), std::round((windowSize.y - height) / 2), width, height};
}

sf::Vector2i ContentPicker::placeOf(const PickerEntry& entry) const
{
    const int row = entry.number / PickerColumns + firstRowOf(entry.kind);
    return {entry.number % PickerColumns, row};
}

sf::Vector2f ContentPicker::cellCorner(const PickerEntry& entry) const
{
    const sf::Vector2i place = placeOf(entry);
    const sf::FloatRect area = bounds();
    return {area.left + PickerPadding + Pitch * static_cast<float>(place.x),
            area.top + PickerPadding + Pitch * static_cast<float>(place.y - topRow)};
}

sf::Vector2f ContentPicker::cellCentre(const PickerEntry& entry) const
{
    return cellCorner(entry) + sf::Vector2f(PickerCellSize / 2, PickerCellSize / 2);
}

std::optional<PickerEntry> ContentPicker::entryAt(sf::Vector2f point) const
{
    const sf::FloatRect area = bounds();
    const float x = point.x - area.left - PickerPadding;
    const float y = point.y - area.top - PickerPadding;
    if (!content || !std::isfinite(x) || !std::isfinite(y) || x < 0 || y < 0)
        return std::nullopt;
    const int column = static_cast<int>(x / Pitch);
    const int shownRow = static_cast<int>(y / Pitch);
    // On a cell, not in the gap after it.
    if (column >= PickerColumns || shownRow >= PickerVisibleRows || x - column * Pitch >= PickerCellSize ||
        y - shownRow * Pitch >= PickerCellSize)
        return std::nullopt;
    const int row = topRow + shownRow;
    PickerEntry entry{PickerEntry::Kind::Ground, 0};
    for (const PickerEntry::Kind kind : {PickerEntry::Kind::Object, PickerEntry::Kind::Stamp})
        if (row >= firstRowOf(kind))
            entry.kind = kind;
    entry.number = (row - firstRowOf(entry.kind)) * PickerColumns + column;
    if (entry.number >= count(entry.kind))
        return std::nullopt;
    return entry;
}

void ContentPicker::draw(sf::RenderTarget& window, const EditorChoices& choices)
{
    if (!open || !content)
        return;
    // The panel, every shown cell's backdrop and the frames in one call.
    panel.clear();
    appendRect(panel, bounds(), PanelColor);
    const PickerEntry::Kind kinds[] = {PickerEntry::Kind::Ground, PickerEntry::Kind::Object, PickerEntry::Kind::Stamp};
    int first[3], end[3];
    for (int k = 0; k < 3; ++k)
    {
        const int rowOffset = firstRowOf(kinds[k]);
        first[k] = std::clamp((topRow - rowOffset) * PickerColumns, 0, count(kinds[k]));
        end[k] = std::clamp((topRow + PickerVisibleRows - rowOffset) * PickerColumns, 0, count(kinds[k]));
        for (int n = first[k]; n < end[k]; ++n)
            appendRect(panel, {cellCorner({kinds[k], n}), {PickerCellSize, PickerCellSize}}, CellColor);
    }
    const PickerEntry selected[] = {{PickerEntry::Kind::Ground, choices.selectedGround},
                                    {PickerEntry::Kind::Object, choices.selectedObject}};
    for (int k = 0; k < 2; ++k)
        if (selected[k].number >= first[k] && selected[k].number < end[k])
            appendFrame(panel, {cellCorner(selected[k]), {PickerCellSize, PickerCellSize}}, PickerFrameWidth,
                        FrameColor);
    window.draw(panel);
    for (int k = 0; k < 2; ++k)
        for (int n = first[k]; n < end[k]; ++n)
            drawEntry(window, {kinds[k], n});
    for (int n = first[2]; n < end[2]; ++n)
        drawStamp(window, {PickerEntry::Kind::Stamp, n});
}

sf::String ContentPicker::stampLabel(const std::string& name)
{
    // Whole characters per line while they fit the cell, then the next line;
    // what is left after the last line is cut short with "..".
    constexpr float Room = PickerCellSize - 4;
    const sf::String whole = sf::String::fromUtf8(name.begin(), name.end());
    const auto width = [this](const sf::String& text) {
        number.setString(text);
        return number.getLocalBounds().width;
    };
    sf::String label;
    std::size_t start = 0;
    for (int line = 0; line < PickerStampNameLines && start < whole.getSize(); ++line)
    {
        std::size_t length = 1;
        while (start + length < whole.getSize() && width(whole.substring(start, length + 1)) <= Room)
            ++length;
        // Words stay whole where a space lets them.
        if (start + length < whole.getSize() && whole[start + length] != ' ' && line + 1 < PickerStampNameLines)
            for (std::size_t space = length - 1; space > 0; --space)
                if (whole[start + space] == ' ')
                {
                    length = space;
                    break;
                }
        sf::String part = whole.substring(start, length);
        start += length;
        while (start < whole.getSize() && whole[start] == ' ')
            ++start;
        if (line == PickerStampNameLines - 1 && start < whole.getSize())
        {
            while (part.getSize() > 1 && width(part + "..") > Room)
                part.erase(part.getSize() - 1);
            part += "..";
        }
        label += line == 0 ? part : "\n" + part;
    }
    return label;
}

void ContentPicker::drawStamp(sf::RenderTarget& window, const PickerEntry& entry)
{
    if (stampLabels.size() != stamps.size())
    {
        stampLabels.clear();
        for (const std::string& name : stamps)
            stampLabels.push_back(stampLabel(name));
    }
    const sf::Vector2f corner = cellCorner(entry);
    number.setString(stampLabels[static_cast<std::size_t>(entry.number)]);
    const sf::FloatRect size = number.getLocalBounds();
    number.setPosition(std::round(corner.x + (PickerCellSize - size.width) / 2 - size.left),
                       std::round(corner.y + (PickerCellSize - size.height) / 2 - size.top));
    window.draw(number);
}

void ContentPicker::drawEntry(sf::RenderTarget& window, const PickerEntry& entry)
{
    const sf::Vector2f corner = cellCorner(entry);
    const bool ground = entry.kind == PickerEntry::Kind::Ground;
    const sf::Texture* texture = ground ? content->fieldTexture(entry.number) : content->objectTexture(entry.number);
    const ObjectType* object = ground ? nullptr : content->object(entry.number);
    const sf::IntRect piece = ground ? PaletteTile.rect() : object ? object->sprite.getTextureRect() : sf::IntRect();
    const float width = std::abs(static_cast<float>(piece.width));
    const float height = std::abs(static_cast<float>(piece.height));
    if (texture && width > 0 && height > 0)
    {
        // Pixel art stays crisp: whole times where it fits, else scaled down.
        float scale = std::min(PickerCellSize / width, PickerCellSize / height);
        if (scale >= 1.f)
            scale = std::floor(scale);
        picture.setTexture(*texture, false);
        picture.setTextureRect(piece);
        picture.setScale(scale, scale);
        picture.setPosition(std::round(corner.x + (PickerCellSize - width * scale) / 2),
                            std::round(corner.y + (PickerCellSize - height * scale) / 2));
        window.draw(picture);
    }
    number.setString(std::to_string(entry.number));
    const sf::FloatRect size = number.getLocalBounds();
    number.setPosition(std::round(corner.x + PickerCellSize - size.left - size.width - 2),
                       std::round(corner.y + PickerCellSize - size.top - size.height - 2));
    window.draw(number);
}

void ContentPicker::describe(FrameKey& key, const EditorChoices& choices) const
{
    key.add(open).add(topRow).add(choices.selectedGround).add(choices.selectedObject).add(stamps.size());
}
