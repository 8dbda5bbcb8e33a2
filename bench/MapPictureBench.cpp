// The whole map as a picture, on the processor, for a busy map of the
// bundled content (both layers of every type, an object on every field, a
// third of the fields solid): composing it, encoding it, and the command line
// --export-png from start to end (content decoded, map read, picture
// composed, encoded and written). Needs no display.
#include "TestContent.h"

#include "app/MapPictureExport.h"
#include "content/ContentPictures.h"
#include "content/ImageFile.h"
#include "mapfile/MapFormat.h"
#include "world/MapPicture.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

namespace
{
StoredMap busyMap()
{
    StoredMap stored;
    TestRandom next(99);
    for (int i = 0; i < FieldCount; ++i)
        stored.fields.push_back({int(next(9)), int(next(9)), 1 + int(next(5)), next(3) == 0});
    return stored;
}

void BM_MapPictureCompose(benchmark::State& state)
{
    const ContentPictures content(QUILLORA_ASSETS_DIR);
    const StoredMap map = busyMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(composeMapPicture(map.fields, content));
}
BENCHMARK(BM_MapPictureCompose)->Unit(benchmark::kMillisecond);

void BM_MapPictureEncode(benchmark::State& state)
{
    const ContentPictures content(QUILLORA_ASSETS_DIR);
    const std::vector<std::uint8_t> pixels = composeMapPicture(busyMap().fields, content);
    std::string bytes;
    for (auto _ : state)
        encodePng(pixels.data(), MapPictureSide, MapPictureSide, bytes);
    state.counters["megabytes"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_MapPictureEncode)->Unit(benchmark::kMillisecond);

void BM_MapPictureCommandLine(benchmark::State& state)
{
    const TempDir dir;
    std::ofstream(dir.file("busy.map"), std::ios::binary) << formatMap(busyMap());
    std::ostringstream out, err;
    for (auto _ : state)
        if (exportMapPicture(QUILLORA_ASSETS_DIR, dir.file("busy.map"), dir.file("busy.png"), out, err) != 0)
            state.SkipWithError("the export failed");
}
BENCHMARK(BM_MapPictureCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
