#pragma once

#include <string>

// A clipboard of text: the desktop's (DesktopClipboard) or a test's own.
class TextClipboard
{
public:
    virtual ~TextClipboard() = default;
    // What it holds, UTF-8; empty when it holds no text.
    virtual std::string text() const = 0;
    // Puts `utf8` on it, replacing what it held.
    virtual void setText(const std::string& utf8) = 0;
};
