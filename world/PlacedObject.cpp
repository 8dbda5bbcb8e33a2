#include "world/PlacedObject.h"

#include "content/ObjectType.h"
#include "platform/ScenePixels.h"

void PlacedObject::assign(const ObjectType* type)
{
    definition = type;
    isPresent = type != nullptr;
    picturePosition = {};
    box = type ? type->collisionRect : sf::IntRect();
}

void PlacedObject::placeAt(sf::Vector2f position)
{
    if (id() == 0)
        isPresent = false;
    if (!isPresent)
        return;
    picturePosition = position;
    const sf::Vector2f& origin = definition->sprite.getOrigin();
    box.left = truncatePixel(position.x - origin.x + static_cast<float>(definition->collisionOffsetX));
    box.top = truncatePixel(position.y - origin.y + static_cast<float>(definition->collisionOffsetY));
}

int PlacedObject::id() const
{
    return definition ? definition->id : 0;
}

const std::string& PlacedObject::message() const
{
    static const std::string none;
    return definition ? definition->message : none;
}
