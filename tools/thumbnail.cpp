// Makes the small pictures of the README from the game's own output:
//
//   quillora_thumbnail IN OUT WIDTH [LEFT TOP CROP_WIDTH CROP_HEIGHT]
//
// Reads IN (PNG or JPEG), optionally crops it to the given rectangle, scales
// it down to WIDTH pixels wide (the height in proportion; every output pixel
// the mean of the input pixels under it, transparent ones counted as such)
// and writes OUT, PNG or JPEG by its extension.
#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 8)
    {
        std::cerr << "usage: quillora_thumbnail IN OUT WIDTH [LEFT TOP CROP_WIDTH CROP_HEIGHT]\n";
        return 2;
    }
    sf::Image in;
    if (!in.loadFromFile(argv[1]))
        return 1;
    int left = 0, top = 0, width = static_cast<int>(in.getSize().x), height = static_cast<int>(in.getSize().y);
    if (argc == 8)
    {
        left = std::atoi(argv[4]);
        top = std::atoi(argv[5]);
        width = std::atoi(argv[6]);
        height = std::atoi(argv[7]);
    }
    left = std::clamp(left, 0, static_cast<int>(in.getSize().x) - 1);
    top = std::clamp(top, 0, static_cast<int>(in.getSize().y) - 1);
    width = std::clamp(width, 1, static_cast<int>(in.getSize().x) - left);
    height = std::clamp(height, 1, static_cast<int>(in.getSize().y) - top);
    const int outWidth = std::clamp(std::atoi(argv[3]), 1, width);
    const int outHeight = std::max(1, height * outWidth / width);

    sf::Image out;
    out.create(static_cast<unsigned>(outWidth), static_cast<unsigned>(outHeight));
    for (int y = 0; y < outHeight; ++y)
    {
        for (int x = 0; x < outWidth; ++x)
        {
            const int x0 = left + x * width / outWidth, x1 = std::max(x0 + 1, left + (x + 1) * width / outWidth);
            const int y0 = top + y * height / outHeight, y1 = std::max(y0 + 1, top + (y + 1) * height / outHeight);
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                {
                    const sf::Color c = in.getPixel(static_cast<unsigned>(sx), static_cast<unsigned>(sy));
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            const double n = static_cast<double>((x1 - x0) * (y1 - y0));
            const auto channel = [a](double sum) { return static_cast<sf::Uint8>(a > 0 ? sum / a + 0.5 : 0); };
            out.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                         sf::Color(channel(r), channel(g), channel(b), static_cast<sf::Uint8>(a / n + 0.5)));
        }
    }
    return out.saveToFile(argv[2]) ? 0 : 1;
}
