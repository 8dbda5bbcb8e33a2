#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/String.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstring>
#include <string>
#include <type_traits>

// A record of everything a frame shows, to tell whether the next frame would
// show exactly what the last one did. Values go in as their bytes, so two keys
// are equal only when the same values went in, in the same order, each one
// bit for bit (0.f and -0.f differ: a needless redraw, never a stale picture).
//
// The contract of every drawer whose picture may be reused: beside its
// draw() it has a describe() that adds every value its draw() reads (given
// the same arguments). Two frames whose drawers added equal keys draw the same
// pixels, so a value its draw() comes to read that is left out of describe()
// shows late (up to a full redraw later).
class FrameKey
{
public:
    void clear() { bytes.clear(); } // keeps the memory for the next frame

    // Numbers, enums, flags and pointers (a texture is told by its address:
    // textures are loaded once and never change).
    template <typename T>
    FrameKey& add(const T& value)
    {
        static_assert(std::is_scalar_v<T>, "add the members one by one: padding bytes would make keys differ");
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes.append(raw, sizeof(T));
        return *this;
    }
    template <typename T>
    FrameKey& add(const sf::Vector2<T>& v)
    {
        return add(v.x).add(v.y);
    }
    template <typename T>
    FrameKey& add(const sf::Rect<T>& r)
    {
        return add(r.left).add(r.top).add(r.width).add(r.height);
    }
    FrameKey& add(const sf::Color& c) { return add(c.toInteger()); }
    FrameKey& add(const sf::String& s)
    {
        add(s.getSize());
        for (const sf::Uint32 character : s)
            add(character);
        return *this;
    }
    // What a sprite draws: texture, piece, colour and where.
    FrameKey& add(const sf::Sprite& s)
    {
        return add(s.getTexture()).add(s.getTextureRect()).add(s.getColor()).add(s.getPosition()).add(s.getOrigin())
            .add(s.getScale()).add(s.getRotation());
    }
    // What a text draws: string, font and its look, and where.
    FrameKey& add(const sf::Text& t)
    {
        return add(t.getString()).add(t.getFont()).add(t.getCharacterSize()).add(t.getLetterSpacing())
            .add(t.getLineSpacing()).add(t.getStyle()).add(t.getFillColor()).add(t.getOutlineColor())
            .add(t.getOutlineThickness()).add(t.getPosition()).add(t.getOrigin()).add(t.getScale())
            .add(t.getRotation());
    }

    bool operator==(const FrameKey& other) const { return bytes == other.bytes; }
    bool operator!=(const FrameKey& other) const { return bytes != other.bytes; }

private:
    std::string bytes;
};
