#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>

class ObjectType;

// The object a field carries: the definition it shows, where its picture
// stands and where its collision box lies, in scene pixels. It refers to the
// store's definition (message, sizes, picture) and copies nothing of it.
class PlacedObject
{
public:
    // Puts definition `type` on the field, as a fresh copy of the definition
    // would be: present, its picture at the scene's corner and its box at
    // (0, 0) until the map places it on its field. Null puts no object.
    void assign(const ObjectType* type);

    // Moves the object onto the field standing at `position` (scene pixels):
    // its picture there, its box with it (truncated toward zero). Object 0
    // stands for no object: placing it clears `present`. An object that is not
    // present is left where it is.
    void placeAt(sf::Vector2f position);

    // The collision box of definition `type` on a field standing at
    // `position` (scene pixels): what placeAt gives the box.
    static sf::IntRect boxAt(const ObjectType& type, sf::Vector2f position);

    const ObjectType* type() const { return definition; }
    int id() const;
    // Whether there is an object here to draw and to stop the player.
    bool present() const { return isPresent; }
    const sf::Vector2f& position() const { return picturePosition; }
    const sf::IntRect& collisionRect() const { return box; }
    // The definition's message; empty without one.
    const std::string& message() const;

private:
    const ObjectType* definition = nullptr; // the store's, or null for none
    sf::Vector2f picturePosition;
    sf::IntRect box;
    bool isPresent = false;
};
