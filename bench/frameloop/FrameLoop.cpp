// Drives the real game under the real full-screen window and prints where the
// time goes:
//   quillora_frameloop [--frames N] [--limit] [--content DIR] [--startup-runs N] [--idle-seconds S]
//                      [--autosave SECONDS] [--overview] [--map-picture SECONDS]
//                      [--zoom game|half|quarter|all] [--baseline PROGRAM] [--rounds N]
//
// Start-up: the driver's floor (a bare window of the game's settings showing
// one cleared frame) and the game (to its first displayed frame), each a fresh
// process of this program, alternating which goes first, timed from just
// before the process is started; medians and their difference. Once as the
// game runs, with the frame limit, which holds the first display until a
// frame's time after the window was made (so the floor includes that wait and
// work that fits in it costs nothing), and once without it, which shows the
// work itself.
// Standing still: a fresh game on a new map, editor off, frame limit on, no
// input; the processor time it uses (user + system, all its threads, from
// /proc/self/stat) over S seconds, once drawing every frame and once reusing
// unchanged frames.
// Worst case: the map carries an object on every field around the view and a
// third of its fields are solid; the player walks diagonally and the editor
// paints with the largest brush every frame, switching ground type each time
// (frame limit off unless --limit, so it shows the headroom). With --autosave
// the map is written to a recovery file in a temporary state folder that
// often, and the frames of those writes are reported apart. With --overview
// the map overview is shown throughout; with --map-picture the map picture
// key is pressed that often (into a temporary folder), and the frames while a
// picture is drawn and written on its worker are reported apart. The worst
// case runs in each of the editor's views (--zoom, all three by default),
// each in a fresh process of this program; with --baseline the same worst
// case of another build of this program (the game before the views, built
// apart) runs beside them, its views and ours taking turns for N rounds, so
// both see the same machine.
#include "app/Game.h"
#include "platform/AllocatorTuning.h"
#include "platform/ExecutablePath.h"
#include "platform/ProcessRunner.h"

#include <SFML/OpenGL.hpp>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>


namespace
{
using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(p / 100.0 * values.size()));
    return values[index];
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void report(const char* what, const std::vector<double>& values)
{
    std::printf("%-28s p50 %7.3f ms   p90 %7.3f ms   p99 %7.3f ms\n", what, percentile(values, 50),
                percentile(values, 90), percentile(values, 99));
}

long long nanosecondsNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Processor time of this process so far, all threads, user + system, seconds.
double processorSeconds()
{
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name may hold blanks; the fields after it are plain numbers.
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(nameEnd + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // After the name: state (field 3) ... utime (14), stime (15).
    for (int number = 3; number <= 15 && fields >> field; ++number)
    {
        if (number == 14)
            utime = std::strtoull(field.c_str(), nullptr, 10);
        else if (number == 15)
            stime = std::strtoull(field.c_str(), nullptr, 10);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Child: the driver's floor. Opens the window as the game does and shows one
// cleared frame; prints when it was shown.
int startupFloor(bool limit)
{
    keepFreedMemoryForReuse();
    sf::RenderWindow window;
    openGameWindow(window, sf::Style::Fullscreen, limit);
    window.clear(sf::Color::Green);
    window.display();
    glFinish();
    std::printf("shown %lld\n", nanosecondsNow());
    return 0;
}

// Child: the game as main() starts it, to its first displayed frame.
int startupGame(const std::string& contentDir, bool limit)
{
    keepFreedMemoryForReuse();
    GameOptions options;
    options.contentRoot = contentDir;
    options.limitFrameRate = limit;
    Game game(options);
    game.frame();
    glFinish();
    std::printf("shown %lld\n", nanosecondsNow());
    return 0;
}

// Child: a new map, editor off, frame limit on, nobody touching anything.
int standStill(const std::string& contentDir, double seconds, bool reuse)
{
    keepFreedMemoryForReuse();
    GameOptions options;
    options.contentRoot = contentDir;
    options.reuseUnchangedFrames = reuse;
    Game game(options);
    const InputState nothing;
    for (int i = 0; i < 60; ++i) // a second to settle
        game.frame(&nothing);

    int frames = 0, presented = 0;
    const double cpuStart = processorSeconds();
    const auto start = Clock::now();
    double elapsed = 0;
    while (elapsed < seconds && game.isOpen())
    {
        game.frame(&nothing);
        ++frames;
        presented += game.lastProfile().presented ? 1 : 0;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    const double cpu = processorSeconds() - cpuStart;
    std::printf("idle %f %f %d %d\n", cpu / elapsed, frames / elapsed, frames, presented);
    return 0;
}

// Runs this program with `arguments`: the last line it printed, or "" when
// it failed.
std::string runChild(const std::vector<std::string>& arguments)
{
    constexpr std::size_t MaxChildOutputBytes = 64 * 1024; // a few lines of figures
    const ProgramRun run = runProgram(executablePath(), arguments, MaxChildOutputBytes);
    if (!run.started || run.exitStatus != 0)
        return {};
    std::istringstream lines(run.output);
    std::string line, last;
    while (std::getline(lines, line))
    {
        if (!line.empty())
            last = line;
    }
    return last;
}

// Milliseconds from just before the child was started until it reported its
// first frame shown; negative on failure.
double timeStartup(const char* mode, const std::string& contentDir)
{
    const long long before = nanosecondsNow();
    const std::string line = runChild({"--child", mode, "--content", contentDir});
    long long shown = 0;
    if (std::sscanf(line.c_str(), "shown %lld", &shown) != 1)
        return -1;
    return static_cast<double>(shown - before) / 1e6;
}

void measureStartup(int runs, const std::string& contentDir, bool limit)
{
    const char* floorMode = limit ? "startup-floor" : "startup-floor-nolimit";
    const char* gameMode = limit ? "startup-game" : "startup-game-nolimit";
    std::vector<double> floor, game;
    for (int i = 0; i < runs; ++i)
    {
        // Each goes first every other time, so neither always follows the other.
        double f = 0, g = 0;
        if (i % 2 == 0)
        {
            f = timeStartup(floorMode, contentDir);
            g = timeStartup(gameMode, contentDir);
        }
        else
        {
            g = timeStartup(gameMode, contentDir);
            f = timeStartup(floorMode, contentDir);
        }
        if (f < 0 || g < 0)
        {
            std::printf("start-up: a child run failed\n");
            return;
        }
        floor.push_back(f);
        game.push_back(g);
    }
    const auto range = [](const std::vector<double>& v) {
        return std::make_pair(*std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()));
    };
    const auto [floorMin, floorMax] = range(floor);
    const auto [gameMin, gameMax] = range(game);
    std::vector<double> pairs;
    for (std::size_t i = 0; i < game.size(); ++i)
        pairs.push_back(game[i] - floor[i]);
    std::printf("start-up to the first displayed frame, frame limit %s, %d alternating runs of each:\n",
                limit ? "on (as the game runs)" : "off (the work alone)", runs);
    std::printf("  %-26s %7.1f ms   (%.1f to %.1f)\n", "driver's floor", median(floor), floorMin, floorMax);
    std::printf("  %-26s %7.1f ms   (%.1f to %.1f)\n", "game", median(game), gameMin, gameMax);
    std::printf("  %-26s %7.1f ms   (median of the runs' own differences %.1f)\n", "difference",
                median(game) - median(floor), median(pairs));
}

void measureStandingStill(double seconds, const std::string& contentDir)
{
    std::printf("standing still, new map, editor off, frame limit on, %.0f s:\n", seconds);
    for (const bool reuse : {false, true})
    {
        const std::string line =
            runChild({"--child", reuse ? "idle-reuse" : "idle-redraw", "--content", contentDir, "--idle-seconds",
                      std::to_string(seconds)});
        double share = 0, fps = 0;
        int frames = 0, presented = 0;
        if (std::sscanf(line.c_str(), "idle %lf %lf %d %d", &share, &fps, &frames, &presented) != 4)
        {
            std::printf("  a child run failed\n");
            continue;
        }
        std::printf("  %-26s %5.1f%% of a core   %.1f frames per second, %d of %d presented\n",
                    reuse ? "reusing unchanged frames" : "drawing every frame", share * 100, fps, presented,
                    frames);
    }
}

// Objects 1.. on every field of a wide band around the start, a third of the
// fields solid: wide enough that the widest view, walking, stays full of it.
void fillWorstCase(Game& game)
{
    int objects = 0;
    while (objects + 1 < ContentSetCapacity && game.content().object(objects + 1))
        ++objects;
    FieldMap& map = game.worldForSetup();
    for (int column = 0; column < 130; ++column)
    {
        for (int row = 0; row < 100; ++row)
        {
            if (objects > 0)
                map.setObject(column, row, 1 + (column + row) % objects);
            map.setSolid(column, row, (column + row) % 3 == 0);
        }
    }
    // Start in the middle of the band, so the view is full of it.
    map.setOrigin(-55.f * FieldSize, -44.f * FieldSize);
    map.refresh();
}

void measureWorstCase(int frames, bool limit, const std::string& contentDir, double autosaveSeconds,
                      bool overview, double pictureSeconds, ViewZoom zoom)
{
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
            return;
        options.stateFolder = stateFolder;
        options.autosaveSeconds = autosaveSeconds;
    }
    std::string pictureFolder;
    if (pictureSeconds > 0)
    {
        pictureFolder = (std::filesystem::temp_directory_path() / "quillora-pictures-XXXXXX").string();
        if (!mkdtemp(pictureFolder.data()))
            return;
        options.captureFolder = pictureFolder;
    }
    std::ostringstream console;
    Game game(options, TimeSource::system(), &console);
    game.frame();
    fillWorstCase(game);
    // Editor on and the brush at its largest before the measured frames.
    InputState setup;
    setup.press(sf::Keyboard::Add);
    while (game.isOpen() && (!game.editor().active() || game.editor().choices().brushSize < MaxBrushSize ||
                             game.overview().shown() != overview || game.zoom() != zoom))
    {
        setup.press(sf::Keyboard::E, !game.editor().active());
        setup.press(sf::Keyboard::M, game.overview().shown() != overview && !setup.isKeyPressed(sf::Keyboard::M));
        setup.press(sf::Keyboard::PageDown, game.editor().active() && game.zoom() != zoom &&
                                                !setup.isKeyPressed(sf::Keyboard::PageDown));
        game.frame(&setup);
    }

    InputState in;
    in.mousePosition = {540, 300};
    in.leftButton = true;

    std::vector<double> total, world, scene, present, calls;
    std::vector<double> autosaveFrames, autosaveFormat; // frames that began a write or ran beside one
    std::vector<double> pictureFrames;                  // frames while a map picture was being written
    int pictures = 0;
    auto lastPicture = Clock::now();
    const auto loopStart = Clock::now();
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
        const bool pictureDue = pictureSeconds > 0 && !in.isKeyPressed(sf::Keyboard::F6) &&
                                std::chrono::duration<double>(Clock::now() - lastPicture).count() >= pictureSeconds;
        in.press(sf::Keyboard::F6, pictureDue);
        if (pictureDue)
        {
            lastPicture = Clock::now();
            ++pictures;
        }
        const auto start = Clock::now();
        game.frame(&in);
        total.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        world.push_back(game.lastProfile().worldMs);
        scene.push_back(game.lastProfile().sceneMs);
        present.push_back(game.lastProfile().presentMs);
        calls.push_back(game.lastProfile().sceneDrawCalls);
        if (game.lastProfile().autosaveMs > 0 || game.lastProfile().autosaveWriting)
            autosaveFrames.push_back(total.back());
        if (game.lastProfile().autosaveMs > 0)
            autosaveFormat.push_back(game.lastProfile().autosaveMs);
        if (game.lastProfile().mapPictureWriting || pictureDue)
            pictureFrames.push_back(total.back());
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - loopStart).count();

    const sf::Vector2i view = game.map().viewSize();
    std::printf("worst case: view %s (%d x %d fields), frames %d, frame limit %s, brush %d, editor %s, overview %s\n",
                std::string(zoomName(game.zoom())).c_str(), view.x / FieldSize, view.y / FieldSize,
                static_cast<int>(total.size()), limit ? "on" : "off", game.editor().choices().brushSize,
                game.editor().active() ? "on" : "off", game.overview().shown() ? "shown" : "hidden");
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
    if (!pictureFolder.empty())
    {
        std::printf("map pictures begun %d, %d frames began one or ran beside one\n", pictures,
                    static_cast<int>(pictureFrames.size()));
        report("frames with a map picture", pictureFrames);
        std::printf("%-28s %7.3f ms\n", "worst of those frames", percentile(pictureFrames, 100));
        std::printf("%-28s %7.3f ms\n", "worst frame overall", percentile(total, 100));
        std::filesystem::remove_all(pictureFolder);
    }
}
} // namespace

int main(int argc, char** argv)
{
    int frames = 600;
    bool limit = false;
    int startupRuns = 15;
    double idleSeconds = 10;
    double autosaveSeconds = 0;
    bool overview = false;
    double pictureSeconds = 0;
    std::string zoom = "all";
    std::string baseline;
    int rounds = 1;
    std::string contentDir = QUILLORA_ASSETS_DIR;
    std::string child;
    for (int i = 1; i < argc; ++i)
    {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--limit"))
            limit = true;
        else if (!std::strcmp(argv[i], "--content") && i + 1 < argc)
            contentDir = argv[++i];
        else if (!std::strcmp(argv[i], "--startup-runs") && i + 1 < argc)
            startupRuns = std::max(0, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--idle-seconds") && i + 1 < argc)
            idleSeconds = std::max(0.0, std::atof(argv[++i]));
        else if (!std::strcmp(argv[i], "--autosave") && i + 1 < argc)
            autosaveSeconds = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--overview"))
            overview = true;
        else if (!std::strcmp(argv[i], "--map-picture") && i + 1 < argc)
            pictureSeconds = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--zoom") && i + 1 < argc)
            zoom = argv[++i];
        else if (!std::strcmp(argv[i], "--baseline") && i + 1 < argc)
            baseline = argv[++i];
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--child") && i + 1 < argc)
            child = argv[++i];
    }

    if (child == "startup-floor" || child == "startup-floor-nolimit")
        return startupFloor(child == "startup-floor");
    if (child == "startup-game" || child == "startup-game-nolimit")
        return startupGame(contentDir, child == "startup-game");
    if (child == "idle-redraw" || child == "idle-reuse")
        return standStill(contentDir, idleSeconds, child == "idle-reuse");
    if (child == "worst")
    {
        keepFreedMemoryForReuse();
        measureWorstCase(frames, limit, contentDir, autosaveSeconds, overview, pictureSeconds,
                         zoomNamed(zoom).value_or(ViewZoom::Game));
        return 0;
    }

    if (startupRuns > 0)
    {
        measureStartup(startupRuns, contentDir, true);
        measureStartup(startupRuns, contentDir, false);
    }
    if (idleSeconds > 0)
        measureStandingStill(idleSeconds, contentDir);
    std::fflush(stdout);
    std::vector<std::string> views;
    for (const ViewZoom view : {ViewZoom::Game, ViewZoom::Half, ViewZoom::Quarter})
        if (zoom == "all" || zoom == zoomName(view))
            views.emplace_back(zoomName(view));
    std::vector<std::string> common{"--frames", std::to_string(frames), "--content", contentDir,
                                    "--autosave", std::to_string(autosaveSeconds),
                                    "--map-picture", std::to_string(pictureSeconds)};
    if (limit)
        common.push_back("--limit");
    if (overview)
        common.push_back("--overview");
    constexpr std::size_t MaxReportBytes = 64 * 1024; // a screen of figures
    for (int round = 1; round <= rounds; ++round)
    {
        if (rounds > 1)
            std::printf("round %d of %d\n", round, rounds);
        if (!baseline.empty())
        {
            // The other build knows no views: its own worst case, in the game's view.
            std::vector<std::string> arguments = common;
            arguments.insert(arguments.end(), {"--startup-runs", "0", "--idle-seconds", "0"});
            const ProgramRun run = runProgram(baseline, arguments, MaxReportBytes);
            std::printf("--- baseline %s:\n%s", baseline.c_str(),
                        run.started && run.exitStatus == 0 ? run.output.c_str() : "failed\n");
        }
        for (const std::string& view : views)
        {
            std::vector<std::string> arguments = common;
            arguments.insert(arguments.end(), {"--child", "worst", "--zoom", view});
            const ProgramRun run = runProgram(executablePath(), arguments, MaxReportBytes);
            std::printf("%s", run.started && run.exitStatus == 0 ? run.output.c_str() : "worst case: a run failed\n");
        }
        std::fflush(stdout);
    }
    return 0;
}
