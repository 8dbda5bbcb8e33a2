#pragma once

#include "platform/TextClipboard.h"

// The desktop's clipboard, which other programs (another game too) copy to
// and paste from, through SFML. Needs a display. On X11 the text this game
// put there is offered for as long as the game runs.
class DesktopClipboard final : public TextClipboard
{
public:
    std::string text() const override;
    void setText(const std::string& utf8) override;
};
