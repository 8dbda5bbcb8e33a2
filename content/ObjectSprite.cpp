#include "content/ObjectSprite.h"

#include <SFML/Graphics/Texture.hpp>

void ObjectSprite::setTexture(const sf::Texture& newTexture)
{
    if (!texture && textureRect == sf::IntRect())
    {
        const sf::Vector2u size = newTexture.getSize();
        textureRect = sf::IntRect(0, 0, static_cast<int>(size.x), static_cast<int>(size.y));
    }
    texture = &newTexture;
}
