#pragma once

#include "platform/TextClipboard.h"

// The desktop's clipboard, which other programs (another game too) copy to
// and paste from, through SFML. Needs a display. On X11 the text this game
// put there is offered for as long as the game runs, and SFML 2.5 carries
// ASCII text whole but turns other characters into zero bytes there (it
// converts through the "C" locale), which is enough for stamps: their text
// is ASCII. Use it while the game's window is open: text that SFML 2.5 put
// on the clipboard before any window existed is answered to other
// programs with an X error, which ends the process.
class DesktopClipboard final : public TextClipboard
{
public:
    std::string text() const override;
    void setText(const std::string& utf8) override;
};
