#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf
{
class Texture;
}

// The picture of an object: a texture, the part of it that shows, an origin
// and a position, in scene pixels. It answers the sf::Sprite calls the game
// makes on objects and draws exactly like an sf::Sprite with the same values
// (no rotation, no scale), but holds only these, so that the map's 40,000
// object records stay small.
class ObjectSprite : public sf::Drawable
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

    void setPosition(float x, float y) { position = {x, y}; }
    void setPosition(const sf::Vector2f& newPosition) { position = newPosition; }
    const sf::Vector2f& getPosition() const { return position; }

    // The scene position of the picture's top-left corner.
    sf::Vector2f topLeft() const { return position - origin; }

private:
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

    const sf::Texture* texture = nullptr; // the store's texture; null draws nothing
    sf::IntRect textureRect;
    sf::Vector2f origin;
    sf::Vector2f position;
};
