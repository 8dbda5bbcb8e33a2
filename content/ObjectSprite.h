#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf
{
class Texture;
}

// The picture of an object definition: a texture, the part of it that shows
// and the origin that sits on the carrying field, in pixels. Where a placed
// object stands is the placed object's; it draws like an sf::Sprite with these
// values at that position (no rotation, no scale).
class ObjectSprite
{
public:
    // Like sf::Sprite::setTexture: the first texture of a sprite without a
    // piece shows whole, later ones keep the piece.
    void setTexture(const sf::Texture& newTexture);
    const sf::Texture* getTexture() const { return texture; }

    void setTextureRect(const sf::IntRect& rect) { textureRect = rect; }
    const sf::IntRect& getTextureRect() const { return textureRect; }

    void setOrigin(float x, float y) { origin = {x, y}; }
    const sf::Vector2f& getOrigin() const { return origin; }

private:
    const sf::Texture* texture = nullptr; // the store's texture; null draws nothing
    sf::IntRect textureRect;
    sf::Vector2f origin;
};
