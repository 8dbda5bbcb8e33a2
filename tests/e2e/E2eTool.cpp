// Helper of the end-to-end test:
//   quillora_e2e_tool content DIR          writes the test content tree into DIR
//   quillora_e2e_tool pixel FILE X Y       prints the colour of a pixel of an image: "R G B"
//   quillora_e2e_tool field TYPE LEFT TOP  prints the colour of a test field piece
#include "../TestContent.h"

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
    if (command == "field" && argc == 5)
        return printColor(fieldPieceColor(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])));
    std::cerr << "usage: quillora_e2e_tool content DIR | pixel FILE X Y | field TYPE LEFT TOP" << std::endl;
    return 2;
}
