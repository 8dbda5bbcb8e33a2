#include "TestContent.h"

#include "content/GameData.h"
#include "mapfile/MapFile.h"
#include "world/FieldMap.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace
{
// The process's resident memory, bytes.
long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}
} // namespace

// Fields refer to their object's definition: a map full of an object whose
// message is a megabyte costs what any map costs, not 40,000 megabytes.
TEST(MapMemory, AMapFullOfAnObjectWithAHugeMessageCostsWhatAnyMapCosts)
{
    TestContent dir;
    const std::string message(1 << 20, 'm');
    dir.write("Objekte/Object1.object", "1\n1\n0\n0\n0\n0\n0\n" + message + "\n");
    std::ostringstream console;
    const GameData data(dir.path(), &console);
    FieldMap map(&data);
    std::string text;
    for (int i = 0; i < FieldCount; ++i)
        text += "5\n5\n1\n0\n";
    dir.write("full.map", text + "0\n0\n");

    const long before = residentBytes();
    const MapFileResult result = loadMap(map, [&](FileDialogPurpose) { return dir.file("full.map"); });
    ASSERT_EQ(result.status, MapFileResult::Status::Complete) << result.reason;
    map.refresh();
    EXPECT_LT(residentBytes() - before, 64l << 20);
    EXPECT_TRUE(map.at(199, 199).object.message() == message);
}
