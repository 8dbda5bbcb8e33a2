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
    box = boxAt(*definition, position);
}

sf::IntRect PlacedObject::boxAt(const ObjectType& type, sf::Vector2f position)
{
    const sf::Vector2f& origin = type.sprite.getOrigin();
    sf::IntRect box = type.collisionRect;
    box.left = truncatePixel(position.x - origin.x + static_cast<float>(type.collisionOffsetX));
    box.top = truncatePixel(position.y - origin.y + static_cast<float>(type.collisionOffsetY));
    return box;
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
