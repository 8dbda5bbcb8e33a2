// Helper of the end-to-end test:
//   quillora_e2e_tool content DIR          writes the test content tree into DIR, with ground types
//                                          0..8 and objects 0..5, as many as the bundled content has
//   quillora_e2e_tool pixel FILE X Y       prints the colour of a pixel of an image: "R G B"
//   quillora_e2e_tool field TYPE LEFT TOP  prints the colour of a test field piece
//   quillora_e2e_tool object ID            prints the colour of a test object's picture
//   quillora_e2e_tool white FILE X Y W H   counts the near-white pixels of a rectangle
//   quillora_e2e_tool autosave STATE       keeps changing a map and autosaving it into the state
//                                          folder STATE, as often as the writes allow, until killed
//   quillora_e2e_tool recovery CONTENT FILE...
//                                          checks that each recovery file reads as a whole valid
//                                          map of the content; prints what is wrong and fails if not
#include "TestContent.h"

#include "app/Recovery.h"
#include "content/GameData.h"
#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"

#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

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
        writeTestContent(argv[2], TestContentOptions{9, 6, 6});
    else if (command == "field" && argc == 5)
        print(fieldPieceColor(number(2), number(3), number(4)));
    else if (command == "object" && argc == 3)
        print(objectColor(number(2)));
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
    else if (command == "autosave" && argc == 3)
    {
        std::ostringstream quiet;
        const GameData content(argv[2] + std::string("/no-content"), &quiet, nullptr, &quiet);
        FieldMap map(content);
        Recovery recovery(argv[2], sf::milliseconds(1), TimeSource::system(), quiet);
        // The file an earlier run left is this run's own, as after F9.
        recovery.adoptOffer(map.revision());
        for (int i = 0;; ++i)
        {
            map.setSolid(i % MapSize, i / MapSize % MapSize, true);
            recovery.frame(map, true, "/maps/stress.map");
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    else if (command == "recovery" && argc >= 4)
    {
        std::ostringstream quiet;
        const GameData content(argv[2], &quiet);
        for (int i = 3; i < argc; ++i)
        {
            const std::string text = readFile(argv[i]);
            RecoveryContents recovery;
            StoredMap stored;
            std::string error;
            if (!parseRecovery(text, recovery, error) || !parseMap(recovery.mapText, content, stored, error))
            {
                std::cout << argv[i] << ": " << error << std::endl;
                return 1;
            }
        }
    }
    else
    {
        std::cerr << "usage: quillora_e2e_tool content DIR | pixel FILE X Y | white FILE X Y W H | field TYPE LEFT TOP"
                     " | autosave STATE | recovery CONTENT FILE...\n";
        return 2;
    }
    return 0;
}
