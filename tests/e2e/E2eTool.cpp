// Helper of the end-to-end test:
//   quillora_e2e_tool content DIR          writes the test content tree into DIR
//   quillora_e2e_tool pixel FILE X Y       prints the colour of a pixel of an image: "R G B"
//   quillora_e2e_tool field TYPE LEFT TOP  prints the colour of a test field piece
//   quillora_e2e_tool white FILE X Y W H   counts the near-white pixels of a rectangle
#include "TestContent.h"

#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <iostream>
#include <string>

namespace
{
int printColor(const sf::Color& c)
{
    std::cout << int(c.r) << ' ' << int(c.g) << ' ' << int(c.b) << std::endl;
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "content" && argc == 3)
    {
        writeTestContent(std::string(argv[2]), TestContentOptions{});
        return 0;
    }
    if (command == "pixel" && argc == 5)
    {
        sf::Image image;
        if (!image.loadFromFile(argv[2]))
            return 1;
        const unsigned x = static_cast<unsigned>(std::atoi(argv[3]));
        const unsigned y = static_cast<unsigned>(std::atoi(argv[4]));
        if (x >= image.getSize().x || y >= image.getSize().y)
            return 1;
        return printColor(image.getPixel(x, y));
    }
    if (command == "white" && argc == 7)
    {
        sf::Image image;
        if (!image.loadFromFile(argv[2]))
            return 1;
        const int left = std::atoi(argv[3]), top = std::atoi(argv[4]);
        const int width = std::atoi(argv[5]), height = std::atoi(argv[6]);
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
            {
                if (x < 0 || y < 0 || x >= int(image.getSize().x) || y >= int(image.getSize().y))
                    continue;
                const sf::Color c = image.getPixel(unsigned(x), unsigned(y));
                count += c.r > 200 && c.g > 200 && c.b > 200;
            }
        std::cout << count << std::endl;
        return 0;
    }
    if (command == "field" && argc == 5)
        return printColor(fieldPieceColor(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])));
    std::cerr << "usage: quillora_e2e_tool content DIR | pixel FILE X Y | white FILE X Y W H | field TYPE LEFT TOP" << std::endl;
    return 2;
}
