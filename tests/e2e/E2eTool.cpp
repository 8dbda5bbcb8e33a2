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

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    const auto number = [argv](int i) { return std::atoi(argv[i]); };
    const auto print = [](const sf::Color& c) {
        std::cout << int(c.r) << ' ' << int(c.g) << ' ' << int(c.b) << std::endl;
        return 0;
    };
    sf::Image image;
    const auto inside = [&image](int x, int y) {
        return x >= 0 && y >= 0 && x < int(image.getSize().x) && y < int(image.getSize().y);
    };
    if (command == "content" && argc == 3)
        writeTestContent(argv[2]);
    else if (command == "field" && argc == 5)
        print(fieldPieceColor(number(2), number(3), number(4)));
    else if ((command == "pixel" && argc == 5) || (command == "white" && argc == 7))
    {
        if (!image.loadFromFile(argv[2]))
            return 1;
        if (command == "pixel")
            return inside(number(3), number(4)) ? print(image.getPixel(unsigned(number(3)), unsigned(number(4)))) : 1;
        int count = 0;
        for (int y = number(4); y < number(4) + number(6); ++y)
            for (int x = number(3); x < number(3) + number(5); ++x)
            {
                const sf::Color c = inside(x, y) ? image.getPixel(unsigned(x), unsigned(y)) : sf::Color::Black;
                count += c.r > 200 && c.g > 200 && c.b > 200;
            }
        std::cout << count << std::endl;
    }
    else
    {
        std::cerr << "usage: quillora_e2e_tool content DIR | pixel FILE X Y | white FILE X Y W H | field TYPE LEFT TOP\n";
        return 2;
    }
    return 0;
}
