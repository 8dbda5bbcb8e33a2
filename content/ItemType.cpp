#include "content/ItemType.h"

#include "content/TextLines.h"

std::string parseItemName(std::string_view text)
{
    LineReader lines(text);
    std::string_view line;
    return lines.next(line) ? std::string(line) : std::string();
}
