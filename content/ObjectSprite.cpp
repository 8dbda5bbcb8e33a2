#include "content/ObjectSprite.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
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

void ObjectSprite::draw(sf::RenderTarget& target, sf::RenderStates states) const
{
    if (!texture)
        return;
    sf::Sprite sprite(*texture, textureRect);
    sprite.setOrigin(origin);
    sprite.setPosition(position);
    target.draw(sprite, states);
}
