// Drives the real frame body under the real window at the game's worst case
// and prints where the time goes:
//   quillora_frameloop [--frames N] [--limit] [--content DIR] [--autosave SECONDS]
// The map carries an object on every field around the view and a third of
// its fields are solid; the player walks diagonally and the editor paints with
// the largest brush every frame, switching ground type each time. With
// --autosave the map is written to a recovery file in a temporary state
// folder that often, and the frames of those writes are reported apart.
#include "app/Game.h"
#include "platform/AllocatorTuning.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>


namespace
{
double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(p / 100.0 * values.size()));
    return values[index];
}

void report(const char* what, const std::vector<double>& values)
{
    std::printf("%-28s p50 %7.3f ms   p90 %7.3f ms   p99 %7.3f ms\n", what, percentile(values, 50),
                percentile(values, 90), percentile(values, 99));
}

// Objects 1.. on every field of a wide band around the start, a third of the
// fields solid.
void fillWorstCase(Game& game)
{
    int objects = 0;
    while (objects + 1 < ContentSetCapacity && game.content().object(objects + 1))
        ++objects;
    FieldMap& map = game.worldForSetup();
    for (int column = 0; column < 60; ++column)
    {
        for (int row = 0; row < 50; ++row)
        {
            if (objects > 0)
                map.setObject(column, row, 1 + (column + row) % objects);
            map.setSolid(column, row, (column + row) % 3 == 0);
        }
    }
    // Start in the middle of the band, so the view is full of it.
    map.setOrigin(-20.f * FieldSize, -16.f * FieldSize);
    map.refresh();
}
} // namespace

int main(int argc, char** argv)
{
    keepFreedMemoryForReuse();
    int frames = 600;
    bool limit = false;
    std::string contentDir = QUILLORA_ASSETS_DIR;
    double autosaveSeconds = 0;
    for (int i = 1; i < argc; ++i)
    {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--limit"))
            limit = true;
        else if (!std::strcmp(argv[i], "--content") && i + 1 < argc)
            contentDir = argv[++i];
        else if (!std::strcmp(argv[i], "--autosave") && i + 1 < argc)
            autosaveSeconds = std::atof(argv[++i]);
    }

    GameOptions options;
    options.contentRoot = contentDir;
    options.fullscreen = true;
    options.limitFrameRate = limit;
    options.profile = true;
    std::string stateFolder;
    if (autosaveSeconds > 0)
    {
        stateFolder = (std::filesystem::temp_directory_path() / "quillora-frameloop-XXXXXX").string();
        if (!mkdtemp(stateFolder.data()))
            return 1;
        options.stateFolder = stateFolder;
        options.autosaveSeconds = autosaveSeconds;
    }
    const auto startUp = std::chrono::steady_clock::now();
    Game game(options);
    game.frame();
    const double startUpMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - startUp).count();
    fillWorstCase(game);
    // Editor on and the brush at its largest before the measured frames.
    InputState setup;
    setup.press(sf::Keyboard::Add);
    while (game.isOpen() && (!game.editor().active() || game.editor().choices().brushSize < MaxBrushSize))
    {
        setup.press(sf::Keyboard::E, !game.editor().active());
        game.frame(&setup);
    }

    InputState in;
    in.mousePosition = {540, 300};
    in.leftButton = true;

    std::vector<double> total, world, scene, present, calls;
    std::vector<double> autosaveFrames, autosaveFormat; // frames that began a write or ran beside one
    const auto loopStart = std::chrono::steady_clock::now();
    for (int i = 0; i < frames && game.isOpen(); ++i)
    {
        const bool even = i % 2 == 0;
        // Walk diagonally, turning every 120 frames so the view keeps moving.
        const int leg = (i / 120) % 4;
        in.press(sf::Keyboard::W, leg == 0 || leg == 1);
        in.press(sf::Keyboard::S, leg == 2 || leg == 3);
        in.press(sf::Keyboard::A, leg == 0 || leg == 3);
        in.press(sf::Keyboard::D, leg == 1 || leg == 2);
        in.press(sf::Keyboard::Num1, even);
        in.press(sf::Keyboard::Num2, !even);
        const auto start = std::chrono::steady_clock::now();
        game.frame(&in);
        total.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        world.push_back(game.lastProfile().worldMs);
        scene.push_back(game.lastProfile().sceneMs);
        present.push_back(game.lastProfile().presentMs);
        calls.push_back(game.lastProfile().sceneDrawCalls);
        if (game.lastProfile().autosaveMs > 0 || game.lastProfile().autosaveWriting)
            autosaveFrames.push_back(total.back());
        if (game.lastProfile().autosaveMs > 0)
            autosaveFormat.push_back(game.lastProfile().autosaveMs);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - loopStart).count();

    std::printf("frames %d, frame limit %s, brush %d, editor %s\n", static_cast<int>(total.size()),
                limit ? "on" : "off", game.editor().choices().brushSize, game.editor().active() ? "on" : "off");
    std::printf("%-28s %7.1f ms\n", "start-up to first frame", startUpMs);
    report("whole frame", total);
    report("world work", world);
    report("scene drawing", scene);
    report("presenting", present);
    std::printf("%-28s p50 %7.0f        max %7.0f\n", "map draw calls per frame", percentile(calls, 50),
                percentile(calls, 100));
    std::printf("%-28s %7.1f\n", "frames per second", total.size() / seconds);
    if (!stateFolder.empty())
    {
        std::printf("autosaves %d, %d frames began one or ran beside one\n", static_cast<int>(autosaveFormat.size()),
                    static_cast<int>(autosaveFrames.size()));
        report("frames with an autosave", autosaveFrames);
        std::printf("%-28s %7.3f ms\n", "worst of those frames", percentile(autosaveFrames, 100));
        std::printf("%-28s %7.3f ms\n", "worst frame overall", percentile(total, 100));
        report("formatting on the frame", autosaveFormat);
        std::filesystem::remove_all(stateFolder);
    }
    return 0;
}
