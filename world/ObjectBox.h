#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

class ObjectType;

// The collision box of definition `type` standing on a field at `position`
// (scene pixels): its size, its left at position x - picture origin x +
// collisionOffsetX and its top likewise, each computed in float and truncated
// toward zero.
sf::IntRect objectBoxAt(const ObjectType& type, sf::Vector2f position);
