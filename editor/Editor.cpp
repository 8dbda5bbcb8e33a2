#include "editor/Editor.h"

#include "content/GameData.h"
#include "platform/Input.h"
#include "world/FieldMap.h"

Editor::Editor(const GameData* content, const TimeSource& time)
    : content(content), stepClock(time), toggleClock(time), cursor(std::make_unique<sf::Sprite>())
{
}

void Editor::update(const InputState&, FieldMap*, float, float) {}
