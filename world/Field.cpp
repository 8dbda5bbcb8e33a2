#include "world/Field.h"

#include "content/GameData.h"

bool Field::setGround(int type, bool underLayer)
{
    const sf::Texture* texture = content ? content->fieldTexture(type) : nullptr;
    if (!texture)
        return false;
    if (underLayer)
    {
        underType = type;
        underSprite.setTexture(*texture);
    }
    else
    {
        groundType = type;
        groundSprite.setTexture(*texture);
    }
    needsAutoTile = true;
    return true;
}
