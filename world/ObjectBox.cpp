#include "world/ObjectBox.h"

#include "content/ObjectType.h"
#include "platform/ScenePixels.h"

sf::IntRect objectBoxAt(const ObjectType& type, sf::Vector2f position)
{
    const sf::Vector2f& origin = type.sprite.getOrigin();
    sf::IntRect box = type.collisionRect;
    box.left = truncatePixel(position.x - origin.x + static_cast<float>(type.collisionOffsetX));
    box.top = truncatePixel(position.y - origin.y + static_cast<float>(type.collisionOffsetY));
    return box;
}
