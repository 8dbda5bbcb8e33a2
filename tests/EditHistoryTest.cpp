#include "WorldFixture.h"

#include "editor/EditHistory.h"
#include "world/AutoTile.h"

#include <random>
#include <vector>

namespace
{
// An edit: values for some fields (by storage index), and for a load a new origin.
struct Edit
{
    std::vector<std::pair<int, FieldValues>> fields;
    bool load = false;
    sf::Vector2f origin, originBefore;
};

void apply(FieldMap& map, const Edit& edit)
{
    for (const auto& [index, values] : edit.fields)
        map.setValues(index / MapSize, index % MapSize, values);
    if (edit.load)
        map.setOrigin(edit.origin.x, edit.origin.y);
}

// The piece the auto-tiling rule gives field (c, r) from the types around it.
sf::IntRect rulePiece(const FieldMap& map, int c, int r)
{
    return autoTilePiece(autoTileKeyAt(c, r, [&map](int nc, int nr) {
        return GroundLayers{map.at(nc, nr).groundType(), map.at(nc, nr).underType()};
    }));
}

class EditHistoryTest : public WorldFixture
{
protected:
    EditHistory history;
};
} // namespace

TEST_F(EditHistoryTest, RandomUndoAndRedoMatchAReplayFromScratch)
{
    std::mt19937 random(7);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::vector<Edit> edits; // edits[0, done) are on the map
    std::size_t done = 0;
    for (int step = 0; step < 200; ++step)
    {
        SCOPED_TRACE(step);
        const int action = pick(0, 9);
        if (action < 5)
        {
            // Fields near the top-left or bottom-right corner, some more than
            // once, some to the values they had; sometimes a whole-map load.
            Edit edit{{}, pick(0, 9) == 0, sf::Vector2f(float(-pick(0, 200)), float(-pick(0, 150))), map.origin()};
            const int corner = pick(0, 1) * 180;
            for (int i = edit.load ? FieldCount : pick(0, 25); i > 0; --i)
            {
                const int index = edit.load ? i - 1 : FieldMap::index(corner + pick(0, 19), corner + pick(0, 19));
                edit.fields.push_back({index, FieldValues{pick(4, 7), pick(4, 5), pick(0, 2), pick(0, 5) == 0}});
            }
            std::vector<FieldValues> before;
            for (const Field& field : map.fields())
                before.push_back(field.values());
            history.begin(map, edit.load ? EditKind::Loading : EditKind::Painting);
            apply(map, edit);
            history.end();
            bool changed = edit.load && edit.origin != edit.originBefore;
            for (std::size_t i = 0; i < before.size(); ++i)
                changed |= map.fields()[i].values() != before[i];
            // An edit of nothing is no entry and keeps the redo branch; any other drops it.
            ASSERT_EQ(history.undoCount(), done + changed);
            ASSERT_EQ(history.redoCount(), changed ? 0 : edits.size() - done);
            if (changed)
            {
                edits.resize(done++);
                edits.push_back(edit);
            }
        }
        else if (action < 9)
        {
            const bool redo = action >= 7;
            const sf::Vector2f origin = map.origin();
            const std::optional<EditSummary> summary = redo ? history.redo(map) : history.undo(map);
            ASSERT_EQ(summary.has_value(), redo ? done < edits.size() : done > 0);
            if (!summary)
                continue;
            const Edit& edit = edits[redo ? done++ : --done];
            EXPECT_EQ(summary->kind, edit.load ? EditKind::Loading : EditKind::Painting);
            FieldMap replay(*data);
            for (std::size_t e = 0; e < done; ++e)
                apply(replay, edits[e]);
            for (std::size_t i = 0; i < map.fields().size(); ++i)
                ASSERT_EQ(map.fields()[i].values(), replay.fields()[i].values()) << i;
            // Only loads move the map back and forth; walking is no edit.
            ASSERT_EQ(map.origin(), !edit.load ? origin : redo ? edit.origin : edit.originBefore);
            // In the same frame every field in view shows the piece of the
            // types around it (the outer columns and rows never get one).
            for (int c = 1; c < MapSize - 1; ++c)
                for (int r = 1; r < MapSize - 1; ++r)
                {
                    const sf::Vector2f p = map.position(c, r);
                    if (p.x > -16 && p.x < 320 && p.y > -16 && p.y < 192)
                    {
                        ASSERT_EQ(piece(c, r), rulePiece(map, c, r)) << c << ", " << r;
                    }
                }
        }
        else
        {
            const float views[] = {0, -37, 24, -2950}; // walking
            map.setOrigin(views[pick(0, 3)], views[pick(0, 3)]);
            map.refresh();
        }
    }
}

TEST_F(EditHistoryTest, UndoneFieldBesideTheViewFollowsWhenItComesIntoView)
{
    // From (0, 0) the pass reaches column 36, and column 37 only from further right.
    const auto view = [&](float x) {
        map.setOrigin(x, 0);
        map.refresh();
    };
    view(-160);
    view(0);
    history.begin(map, EditKind::Painting);
    paint(36, 10, 3);
    history.end();
    view(-160); // (37, 10) gets an edge toward the painted field
    view(0);
    ASSERT_TRUE(history.undo(map));
    view(-160);
    for (int c = 35; c <= 38; ++c)
        for (int r = 9; r <= 11; ++r)
            EXPECT_EQ(piece(c, r), rulePiece(map, c, r)) << c << ", " << r;
}

TEST_F(EditHistoryTest, WholeMapEditsStayWithinTheMemoryBound)
{
    const int edits = 40;
    for (int e = 1; e <= edits; ++e)
    {
        history.begin(map, EditKind::Fill);
        for (int i = 0; i < FieldCount; ++i)
            map.paintGround(i / MapSize, i % MapSize, e % 7, i % 2 == 0);
        history.end();
        ASSERT_LE(history.bytes(), EditHistoryByteLimit);
    }
    // The oldest were dropped; the newest still undo exactly.
    const std::size_t kept = history.undoCount();
    EXPECT_TRUE(kept >= 20 && kept < std::size_t(edits)) << kept;
    while (history.undo(map))
    {
    }
    EXPECT_EQ(map.at(0, 0).underType(), (edits - int(kept)) % 7);
    EXPECT_EQ(map.at(0, 1).groundType(), (edits - int(kept)) % 7);
}
