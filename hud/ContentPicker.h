#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sf
{
class RenderTarget;
}

class FrameKey;
class GameData;
struct EditorChoices;

// The picker's layout, window pixels (the window's own 1080 x 720
// coordinates, stretched with it).
constexpr float PickerCellSize = 48.f; // side of the square a ground tile or an object picture fills
constexpr float PickerCellGap = 8.f;   // between cells
constexpr float PickerPadding = 16.f;  // between the panel's edge and its cells
constexpr int PickerColumns = 14;      // cells per row
constexpr int PickerVisibleRows = 9;   // rows shown at once; more scroll with the wheel
constexpr float PickerFrameWidth = 3.f; // the frame around the selected ground and object
constexpr unsigned PickerNumberSize = 12; // character size of a cell's number and a stamp's name
constexpr int PickerStampNameLines = 3;   // lines of a stamp's name in its cell; a longer name is cut short

// One entry of the picker: a ground type or an object, by its number, or a
// stamp, by its place in the picker's list of stamps (stampNames).
struct PickerEntry
{
    enum class Kind
    {
        Ground,
        Object,
        Stamp,
    };
    Kind kind = Kind::Ground;
    int number = 0;

    bool operator==(const PickerEntry& other) const { return kind == other.kind && number == other.number; }
};

// The editor's content picker (Tab): every loaded ground type (its palette
// tile) and every loaded object (its picture, scaled to fit a cell: by whole
// times where it fits, else down), in number order, the ground types first,
// the objects from a new row, each cell with its number; then, from a new
// row, the stamps in the order the lister gives them, each cell with its
// name; the selected ground type and object framed. Drawn on the window, over the scaled scene, in a
// panel in the middle of it; content sets that need more than
// PickerVisibleRows rows scroll with the wheel.
class ContentPicker
{
public:
    // `content` must outlive the picker; `windowSize` in window pixels, the
    // panel stands in its middle.
    ContentPicker(const GameData* content, sf::Vector2u windowSize);

    bool isOpen() const { return open; }
    // Opening starts at the first row and asks the stamp lister for the
    // stamps anew.
    void setOpen(bool shown);

    // Where the stamps' names come from (e.g. the stamps' folder, read at
    // each opening); without one the picker lists no stamps.
    using StampLister = std::function<std::vector<std::string>()>;
    void setStampLister(StampLister lister) { listStamps = std::move(lister); }
    // The stamps listed since the picker last opened; a Stamp entry's number
    // is an index into these.
    const std::vector<std::string>& stampNames() const { return stamps; }

    // Turns the rows by the wheel: away from the user (positive) back toward
    // the first ones; fractions of a notch add up. Stops at both ends.
    void scroll(float notches);
    int firstRow() const { return topRow; }

    // The panel, window pixels: in the middle of the window, as tall as the
    // rows need up to PickerVisibleRows.
    sf::FloatRect bounds() const;
    // The entry whose cell holds `point` (window pixels), among the rows shown.
    std::optional<PickerEntry> entryAt(sf::Vector2f point) const;
    // The middle of `entry`'s cell, window pixels, where the rows shown now
    // put it (it may lie outside the panel when scrolled away).
    sf::Vector2f cellCentre(const PickerEntry& entry) const;

    // A stamp's name as its cell shows it: broken into lines at spaces where
    // it can be, else where the cell's width ends, at most
    // PickerStampNameLines of them, the last cut short with ".." when the
    // name goes on.
    sf::String stampLabel(const std::string& name);

    void draw(sf::RenderTarget& window, const EditorChoices& choices);
    // Adds what draw() shows to `key` (see FrameKey).
    void describe(FrameKey& key, const EditorChoices& choices) const;

private:
    int groundRows() const;
    int objectRows() const;
    int totalRows() const;
    int count(PickerEntry::Kind kind) const;
    int firstRowOf(PickerEntry::Kind kind) const;
    // Row and column of `entry` in the whole list.
    sf::Vector2i placeOf(const PickerEntry& entry) const;
    sf::Vector2f cellCorner(const PickerEntry& entry) const;
    void drawEntry(sf::RenderTarget& window, const PickerEntry& entry);
    void drawStamp(sf::RenderTarget& window, const PickerEntry& entry);

    const GameData* content;
    sf::Vector2f windowSize;
    bool open = false;
    int topRow = 0;
    float wheelTravel = 0.f;
    sf::VertexArray panel;
    sf::Sprite picture;
    sf::Text number;
    StampLister listStamps;
    std::vector<std::string> stamps;
    std::vector<sf::String> stampLabels; // made as the cells are first drawn
};
