#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf
{
class Texture;
}

// One ground layer of a field: its texture, the 16 x 16 piece of it that shows,
// and its position in scene pixels. It answers the sf::Sprite calls that the
// game makes on a field's layers, but holds only those three values, so the
// 80,000 layers of a map stay small and the map draws them in batches.
class FieldSprite
{
public:
    // Like sf::Sprite::setTexture with resetRect false: the piece stays.
    void setTexture(const sf::Texture& newTexture) { texture = &newTexture; }
    void setTexture(const sf::Texture* newTexture) { texture = newTexture; } // null: draws nothing
    const sf::Texture* getTexture() const { return texture; }

    void setTextureRect(const sf::IntRect& rect) { textureRect = rect; }
    const sf::IntRect& getTextureRect() const { return textureRect; }

    void setPosition(float x, float y) { position = {x, y}; }
    void setPosition(const sf::Vector2f& newPosition) { position = newPosition; }
    const sf::Vector2f& getPosition() const { return position; }
    void move(float dx, float dy)
    {
        position.x += dx;
        position.y += dy;
    }

private:
    const sf::Texture* texture = nullptr; // the store's texture; null draws nothing
    sf::IntRect textureRect;
    sf::Vector2f position;
};
