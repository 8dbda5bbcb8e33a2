#include "hud/UI.h"

#include "content/GameData.h"
#include "editor/EditorChoices.h"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>

namespace
{
bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Whether `text` is well-formed UTF-8 as a whole: no stray continuation
// bytes, no truncated sequences, no overlong forms, no surrogates, nothing
// beyond U+10FFFF.
bool isValidUtf8(const std::string& text)
{
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size)
    {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        // The allowed range of the second byte narrows for the leads whose
        // shortest forms or surrogates would otherwise slip through.
        unsigned char secondLow = 0x80;
        unsigned char secondHigh = 0xBF;
        if (lead < 0x80)
            length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            length = 3;
            if (lead == 0xE0)
                secondLow = 0xA0; // overlong below U+0800
            else if (lead == 0xED)
                secondHigh = 0x9F; // U+D800..U+DFFF
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            length = 4;
            if (lead == 0xF0)
                secondLow = 0x90; // overlong below U+10000
            else if (lead == 0xF4)
                secondHigh = 0x8F; // beyond U+10FFFF
        }
        else
            return false; // a continuation byte, C0/C1 (always overlong) or F5..FF

        if (length > size - i)
            return false;
        if (length > 1)
        {
            const unsigned char second = static_cast<unsigned char>(text[i + 1]);
            if (second < secondLow || second > secondHigh)
                return false;
            for (std::size_t k = 2; k < length; ++k)
            {
                if (!isContinuation(static_cast<unsigned char>(text[i + k])))
                    return false;
            }
        }
        i += length;
    }
    return true;
}

// Object messages are bytes from a file: UTF-8 where they are valid UTF-8,
// else taken as Latin-1, which maps every byte to a character, so no message
// can fail to convert.
sf::String messageString(const std::string& text)
{
    if (isValidUtf8(text))
        return sf::String::fromUtf8(text.begin(), text.end());
    std::basic_string<sf::Uint32> characters;
    characters.reserve(text.size());
    for (const char byte : text)
        characters.push_back(static_cast<unsigned char>(byte));
    return sf::String(characters);
}

// The part of `text` that can show when `shown` (its font, size and style
// set) is drawn at its position in a window of `windowSize` pixels, laid out
// the way sf::Text lays it out: each line up to the first character whose pen
// position lies beyond the right edge, and the lines down to the first one
// whose top lies below the bottom edge, both with a character size to spare
// for glyphs that reach back. Drawing it gives the pixels of the whole text.
sf::String visiblePart(const sf::String& text, const sf::Text& shown, sf::Vector2u windowSize)
{
    const sf::Font* font = shown.getFont();
    if (!font)
        return text; // nothing is drawn without a font
    const unsigned size = shown.getCharacterSize();
    const bool bold = (shown.getStyle() & sf::Text::Bold) != 0;
    const float margin = static_cast<float>(size);
    const float right = static_cast<float>(windowSize.x) - shown.getPosition().x + margin;
    const float bottom = static_cast<float>(windowSize.y) - shown.getPosition().y + margin;
    const float lineSpacing = font->getLineSpacing(size);
    const float space = font->getGlyph(U' ', size, bold).advance;

    std::basic_string<sf::Uint32> part;
    float x = 0.f;
    float top = 0.f;
    sf::Uint32 previous = 0;
    for (auto next = text.begin(); next != text.end();)
    {
        const sf::Uint32 character = *next++;
        if (character == '\r')
        {
            part += character;
            continue;
        }
        x += font->getKerning(previous, character, size);
        previous = character;
        if (character == '\n')
        {
            top += lineSpacing;
            if (top > bottom)
                break;
            x = 0.f;
        }
        else if (x > right)
        {
            next = std::find(next, text.end(), sf::Uint32('\n')); // the rest of the line is off the window
            continue;
        }
        else if (character == ' ' || character == '\t')
            x += character == ' ' ? space : 4 * space;
        else
            x += font->getGlyph(character, size, bold).advance;
        part += character;
    }
    return sf::String(part);
}

const sf::Texture* uiTexture(const GameData* content)
{
    return content ? content->uiTexture.get() : nullptr;
}

// A sprite of `texture` (none when null), at `position`, showing `cell`: the
// order the game has always set them in.
void setUp(sf::Sprite& sprite, const sf::Texture* texture, sf::Vector2f position, const sf::IntRect& cell)
{
    if (texture)
        sprite.setTexture(*texture, false);
    sprite.setPosition(position);
    sprite.setTextureRect(cell);
}

sf::Vector2f at(const HudPoint& point)
{
    return {point.x, point.y};
}

std::string brushSizeString(int size)
{
    return "Brush Size: " + std::to_string(size);
}

// Two quads: the rim, and the fill one pixel inside it.
sf::VertexArray unsavedMarkQuads()
{
    sf::VertexArray quads(sf::Quads);
    const auto square = [&quads](float left, float top, float size, sf::Color color) {
        quads.append({{left, top}, color});
        quads.append({{left + size, top}, color});
        quads.append({{left + size, top + size}, color});
        quads.append({{left, top + size}, color});
    };
    square(UnsavedMarkPosition.x, UnsavedMarkPosition.y, UnsavedMarkSize, UnsavedMarkRim);
    square(UnsavedMarkPosition.x + 1.f, UnsavedMarkPosition.y + 1.f, UnsavedMarkSize - 2.f, UnsavedMarkFill);
    return quads;
}
} // namespace

UI::UI(const GameData* content, sf::Vector2u windowSize, float sceneScaleX, float sceneScaleY, const TimeSource& time)
    : content(content), windowSize(windowSize), messageClock(time), unsavedMarkPicture(unsavedMarkQuads())
{
    const sf::Texture* ui = uiTexture(content);
    setUp(editorIndicator, ui, at(EditorIndicatorPosition), EditorOffCell.rect());
    setUp(groundMarker, ui, {PaletteLeft, PaletteTop}, GroundMarkerCell.rect());
    for (int slot = 0; slot < PaletteSlots; ++slot)
        setUp(palette[static_cast<std::size_t>(slot)], paletteTexture(slot),
              {PaletteLeft + PaletteStep * float(slot), PaletteTop}, PaletteTile.rect());
    setUp(layerIndicator, ui, at(LayerIndicatorPosition), GroundLayerCell.rect());
    setUp(modeIndicator, ui, at(ModeIndicatorPosition), PaintModeCell.rect());
    setUp(objectPanel, ui, at(ObjectPanelPosition), ObjectPanelCell.rect());
    setUp(objectPreview, content ? content->objectTexture(0) : nullptr, at(ObjectPanelPosition), sf::IntRect());

    const sf::Font* font = content ? &content->fonts.consola : nullptr;
    brushSize.setPosition(BrushSizeTextPosition.x * sceneScaleX, BrushSizeTextPosition.y * sceneScaleY);
    if (font)
        brushSize.setFont(*font);
    brushSize.setFillColor(sf::Color::Black);
    brushSize.setStyle(sf::Text::Bold);
    brushSize.setScale(sceneScaleX / HudTextScaleDivisor, sceneScaleY / HudTextScaleDivisor);
    brushSize.setString(brushSizeString(shownBrushSize));

    message.setPosition(MessageTextLeft * sceneScaleX,
                        static_cast<float>(windowSize.y) - MessageTextBottomOffset * sceneScaleY);
    if (font)
        message.setFont(*font);
    message.setFillColor(sf::Color::White);
    message.setStyle(sf::Text::Bold);

    // A negative thickness draws the line inside the shape: over the
    // rectangle's own fields only.
    rectangleOutline.setFillColor(sf::Color::Transparent);
    rectangleOutline.setOutlineColor(sf::Color(RectangleOutlineRed, RectangleOutlineGreen, RectangleOutlineBlue));
    rectangleOutline.setOutlineThickness(-RectangleOutlineWidth);

    messageClock.restart();
}

const sf::Texture* UI::paletteTexture(int slot) const
{
    // Slots past the first six show their own type where it is loaded, else
    // type 0 again; a missing texture leaves the slot empty.
    if (!content)
        return nullptr;
    if (slot >= PaletteGroundTypes && !content->fieldTexture(slot))
        return content->fieldTexture(0);
    return content->fieldTexture(slot);
}

void UI::showMessage(const std::string& text, float seconds)
{
    messageSeconds = seconds;
    messageClock.restart();
    if (text == messageBytes)
        return;
    messageBytes = text;
    message.setString(visiblePart(messageString(text), message, windowSize));
}

void UI::update(const EditorChoices& editor)
{
    if (!editor.active)
    {
        editorIndicator.setTextureRect(EditorOffCell.rect());
        return;
    }
    editorIndicator.setTextureRect(EditorOnCell.rect());

    // The preview needs both the picture and the definition's piece of it;
    // without either it shows nothing rather than a stale or whole texture.
    const sf::Texture* texture = content ? content->objectTexture(editor.selectedObject) : nullptr;
    const ObjectType* object = content ? content->object(editor.selectedObject) : nullptr;
    if (texture && object)
    {
        objectPreview.setTexture(*texture, false);
        const sf::IntRect& piece = object->sprite.getTextureRect();
        objectPreview.setTextureRect(piece);
        // A picture larger than the panel is shown whole, scaled down.
        const float width = std::abs(static_cast<float>(piece.width));
        const float height = std::abs(static_cast<float>(piece.height));
        const float panel = static_cast<float>(ObjectPanelCell.width);
        const float fit = std::min(1.f, std::min(width > 0.f ? panel / width : 1.f, height > 0.f ? panel / height : 1.f));
        objectPreview.setScale(fit, fit);
    }
    else
    {
        objectPreview = sf::Sprite();
        objectPreview.setPosition(at(ObjectPanelPosition));
    }

    // The marker on the selected ground's slot; a loaded type past the
    // palette takes the last slot. A type without a slot of its own shows no
    // marker.
    const int selected = editor.selectedGround;
    const bool pastPalette = selected >= PaletteSlots && content && content->fieldTexture(selected);
    const int lastSlot = PaletteSlots - 1;
    const sf::Texture* lastTexture = pastPalette ? content->fieldTexture(selected) : paletteTexture(lastSlot);
    if (lastTexture)
        palette[lastSlot].setTexture(*lastTexture, false);
    const bool ownSlot = selected >= 0 && (selected < PaletteGroundTypes ||
                                           (selected < PaletteSlots && content && content->fieldTexture(selected)));
    groundMarkerShown = ownSlot || pastPalette;
    if (groundMarkerShown)
        groundMarker.setPosition(PaletteLeft + PaletteStep * float(pastPalette ? lastSlot : selected), PaletteTop);

    switch (editor.mode)
    {
    case EditorMode::PaintGround:
        modeIndicator.setTextureRect(PaintModeCell.rect());
        break;
    case EditorMode::PlaceObject:
        modeIndicator.setTextureRect(ObjectModeCell.rect());
        break;
    case EditorMode::MarkSolid:
        modeIndicator.setTextureRect(SolidModeCell.rect());
        break;
    }

    layerIndicator.setTextureRect(editor.underLayer ? UnderLayerCell.rect() : GroundLayerCell.rect());

    // The text's string is rebuilt only when the size changes, not every frame.
    if (editor.brushSize != shownBrushSize)
    {
        shownBrushSize = editor.brushSize;
        brushSize.setString(brushSizeString(shownBrushSize));
    }
}

void UI::draw(sf::RenderTarget& target, const EditorChoices& editor)
{
    target.draw(editorIndicator);
    if (unsavedMarkShown)
        target.draw(unsavedMarkPicture);
    if (!editor.active)
        return;
    for (const sf::Sprite& slot : palette)
        target.draw(slot);
    if (groundMarkerShown)
        target.draw(groundMarker);
    target.draw(layerIndicator);
    target.draw(modeIndicator);
    target.draw(objectPanel);
    target.draw(objectPreview);
}

void UI::drawRectangleOutline(sf::RenderTarget& target, const sf::IntRect& area)
{
    rectangleOutline.setPosition(static_cast<float>(area.left), static_cast<float>(area.top));
    rectangleOutline.setSize({static_cast<float>(area.width), static_cast<float>(area.height)});
    target.draw(rectangleOutline);
}

void UI::drawTexts(sf::RenderTarget& window, const EditorChoices& editor) const
{
    if (editor.active)
        window.draw(brushSize);
    if (messageVisible())
        window.draw(message);
}

bool UI::messageVisible() const
{
    return messageClock.getElapsedTime().asSeconds() < messageSeconds;
}

void UI::describeTexts(FrameKey& key) const
{
    key.add(brushSize);
    key.add(messageVisible()).add(message);
}
