// Saving and loading a whole map: formatting, the safe write, reading,
// parsing, checking and applying to the 40,000 fields.
#include "TestContent.h"

#include "content/ContentPictures.h"
#include "content/GameData.h"
#include "mapfile/MapFile.h"
#include "mapfile/MapFormat.h"
#include "mapfile/RecoveryFile.h"
#include "mapfile/TiledMap.h"
#include "mapfile/TiledReader.h"
#include "platform/SafeFileWriter.h"
#include "world/FieldMap.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <sstream>

namespace
{
// Field textures 0..7, objects 0..2 and a painted map, built once in a
// temporary folder that is removed at exit.
struct MapBenchSetup
{
    MapBenchSetup()
    {
        std::ostringstream console;
        content = std::make_unique<GameData>(files.path(), &console);
        map = std::make_unique<FieldMap>(*content);
        for (int c = 0; c < MapSize; ++c)
        {
            for (int r = 0; r < MapSize; ++r)
            {
                const int i = FieldMap::index(c, r);
                map->paintGround(c, r, i % 8, false);
                map->paintGround(c, r, (i / 7) % 8, true);
                map->setObject(c, r, i % 5 == 0 ? 1 + i % 2 : 0);
                map->setSolid(c, r, i % 3 == 0);
            }
        }
        map->scroll(-1184, -352);
        mapPath = files.file("bench map.txt");
        if (!writeFileSafely(mapPath, formatMap(*map)))
            std::abort();
    }
    ~MapBenchSetup()
    {
        map.reset();
        content.reset();
    }

    TestContent files{TestContentOptions{8, 3, 3}};
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

// What an autosave costs the frame: the recovery file's text (the writing is
// the worker's).
void BM_RecoveryFormat(benchmark::State& state)
{
    const FieldMap& map = *setup().map;
    const std::string path = "/home/player/maps/island.map";
    for (auto _ : state)
        benchmark::DoNotOptimize(formatRecovery(path, formatMap(map)));
}
BENCHMARK(BM_RecoveryFormat)->Unit(benchmark::kMillisecond);

// The whole save: text, temporary file, flush to disk, backup, rename.
void BM_MapSave(benchmark::State& state)
{
    MapBenchSetup& s = setup();
    const std::string path = s.files.file("saved.txt");
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
    FieldMap target(*s.content);
    const MapFileChooser choose = [&](FileDialogPurpose) { return s.mapPath; };
    for (auto _ : state)
    {
        if (loadMap(target, choose).status != MapFileResult::Status::Complete)
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_MapLoad)->Unit(benchmark::kMillisecond);

// The busy map for Tiled and back, in either form (0: TMX, 1: JSON): its
// tilesets, pictures and map written; the map and its tilesets read and
// checked.
// Writes the busy map as a Tiled map named `name` plus ".tmx" or ".tmj" (the
// benchmark's argument: 0 TMX, 1 JSON); `once` writes it once, else for
// every iteration. Returns the file's path.
std::string exportBusyMap(benchmark::State& state, const std::string& name, bool once)
{
    MapBenchSetup& s = setup();
    const ContentPictures pictures(s.files.path());
    StoredMap stored;
    if (readMap(s.mapPath, pictures, stored).status != MapFileResult::Status::Complete)
        state.SkipWithError("the map cannot be read");
    const bool json = state.range(0) == 1;
    const std::string path = s.files.file(name + (json ? ".tmj" : ".tmx"));
    const auto write = [&] {
        if (!writeTiledMap(stored, pictures, path, json ? TiledForm::Json : TiledForm::Xml, TiledEncoding::Csv))
            state.SkipWithError("export failed");
    };
    if (once)
        write();
    else
        for (auto _ : state)
            write();
    return path;
}

void BM_TiledExport(benchmark::State& state)
{
    exportBusyMap(state, "tiled", false);
}
BENCHMARK(BM_TiledExport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TiledImport(benchmark::State& state)
{
    MapBenchSetup& s = setup();
    const std::string path = exportBusyMap(state, "import", true);
    std::string error;
    for (auto _ : state)
    {
        StoredMap back;
        if (!readTiledMap(path, *s.content, back, error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_TiledImport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
} // namespace
