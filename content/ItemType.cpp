#include "content/ItemType.h"

#include "content/TextLines.h"

std::string parseItemName(std::string_view text)
{
    std::string_view line;
    if (!nextLine(text, line))
        return {};
    return std::string(line);
}
