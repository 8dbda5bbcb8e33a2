// Saving and loading a whole map: formatting, the safe write, reading,
// parsing, checking and applying to the 40,000 fields.
#include "content/GameData.h"
#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"
#include "mapfile/SafeFileWriter.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/Image.hpp>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
// Field textures 0..7, objects 0..2 and a painted map, built once in a
// temporary folder that is removed at exit.
struct MapBenchSetup
{
    MapBenchSetup()
    {
        std::string pattern = (fs::temp_directory_path() / "quillora-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        fs::create_directories(root / "Texturen");
        fs::create_directories(root / "Objekte");
        sf::Image image;
        image.create(80, 80, sf::Color(90, 160, 60));
        for (int type = 0; type < 8; ++type)
            image.saveToFile((root / ("Texturen/FieldTextur" + std::to_string(type) + ".png")).string());
        image.create(48, 48, sf::Color(120, 80, 40));
        for (int id = 0; id < 3; ++id)
        {
            image.saveToFile((root / ("Texturen/ObjectTextur" + std::to_string(id) + ".png")).string());
            std::ofstream((root / ("Objekte/Object" + std::to_string(id) + ".object")).string())
                << "2\n3\n32\n4\n34\n8\n1\nA tree with a message long enough to live on the heap\n";
        }
        std::ostringstream console;
        content = std::make_unique<GameData>(root.string(), &console);
        map = std::make_unique<FieldMap>(content.get());
        for (int i = 0; i < FieldCount; ++i)
        {
            Field& field = map->fields[static_cast<std::size_t>(i)];
            field.setGround(i % 8, false);
            field.setGround((i / 7) % 8, true);
            *field.object = *content->object(i % 5 == 0 ? 1 + i % 2 : 0);
            field.solid = i % 3 == 0;
        }
        map->scroll(-1184, -352);
        mapPath = (root / "bench map.txt").string();
        if (!writeFileSafely(mapPath, formatMap(*map)).empty())
            std::abort();
    }
    ~MapBenchSetup()
    {
        map.reset();
        content.reset();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    fs::path root;
    std::unique_ptr<GameData> content;
    std::unique_ptr<FieldMap> map;
    std::string mapPath;
};

MapBenchSetup& setup()
{
    static MapBenchSetup instance;
    return instance;
}

void BM_MapFormat(benchmark::State& state)
{
    const FieldMap& map = *setup().map;
    for (auto _ : state)
        benchmark::DoNotOptimize(formatMap(map));
}
BENCHMARK(BM_MapFormat)->Unit(benchmark::kMillisecond);

// The whole save: text, temporary file, flush to disk, backup, rename.
void BM_MapSave(benchmark::State& state)
{
    MapBenchSetup& s = setup();
    const std::string path = (s.root / "saved.txt").string();
    const MapFileChooser choose = [&](FileDialogPurpose) { return path; };
    for (auto _ : state)
    {
        if (saveMap(*s.map, choose).status != MapFileResult::Status::Complete)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_MapSave)->Unit(benchmark::kMillisecond);

void BM_MapParse(benchmark::State& state)
{
    MapBenchSetup& s = setup();
    const std::string text = formatMap(*s.map);
    StoredMap stored;
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseMap(text, *s.content, stored, error));
}
BENCHMARK(BM_MapParse)->Unit(benchmark::kMillisecond);

// The whole load: read, parse, check, apply to the 40,000 fields.
void BM_MapLoad(benchmark::State& state)
{
    MapBenchSetup& s = setup();
    FieldMap target(s.content.get());
    const MapFileChooser choose = [&](FileDialogPurpose) { return s.mapPath; };
    for (auto _ : state)
    {
        if (loadMap(target, choose).status != MapFileResult::Status::Complete)
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_MapLoad)->Unit(benchmark::kMillisecond);
} // namespace
