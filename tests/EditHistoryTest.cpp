#include "WorldFixture.h"

#include "editor/EditHistory.h"
#include "world/AutoTile.h"

#include <random>
#include <vector>

namespace
{
// One change to the map, as the editor or a load makes it.
struct Op
{
    enum Kind { Ground, Under, Object, Solid, Values, Origin } kind;
    int column, row;
    FieldValues values; // the value used by the kind
};

void apply(FieldMap& map, const Op& op)
{
    switch (op.kind)
    {
    case Op::Ground: map.paintGround(op.column, op.row, op.values.groundType, false); break;
    case Op::Under: map.paintGround(op.column, op.row, op.values.underType, true); break;
    case Op::Object: map.setObject(op.column, op.row, op.values.objectId); break;
    case Op::Solid: map.setSolid(op.column, op.row, op.values.solid); break;
    case Op::Values: map.setValues(op.column, op.row, op.values); break;
    case Op::Origin: map.setOrigin(float(op.column), float(op.row)); break;
    }
}

// The piece the auto-tiling rule gives field (c, r) from the types around it.
sf::IntRect rulePiece(const FieldMap& map, int c, int r)
{
    const int type = map.at(c, r).groundType;
    const auto matches = [&](int nc, int nr) {
        return map.at(nc, nr).groundType == type || map.at(nc, nr).underType == type;
    };
    return autoTilePiece(matches(c, r - 1), matches(c, r + 1), matches(c + 1, r), matches(c - 1, r));
}

class EditHistoryTest : public WorldFixture
{
protected:
    // The fields whose stored values differ between two maps.
    static int differences(const FieldMap& a, const FieldMap& b)
    {
        int count = 0;
        for (std::size_t i = 0; i < a.fields().size(); ++i)
            count += a.fields()[i].values() != b.fields()[i].values();
        return count;
    }

    // Every field in the 320 x 192 scene, except the outer columns and rows,
    // which never get a piece.
    template <typename Check>
    void forFieldsInView(const FieldMap& m, Check check)
    {
        for (int c = 1; c < MapSize - 1; ++c)
            for (int r = 1; r < MapSize - 1; ++r)
            {
                const sf::Vector2f p = m.at(c, r).groundSprite.getPosition();
                if (p.x > -16 && p.x < 320 && p.y > -16 && p.y < 192)
                    check(c, r);
            }
    }

    EditHistory history;
};
} // namespace

TEST_F(EditHistoryTest, RandomUndoAndRedoMatchAReplayFromScratch)
{
    std::mt19937 random(4);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const sf::Vector2f views[] = {{0, 0}, {-37, -21}, {24, 40}, {-2950, -3010}, {-800, -3100}};

    // The edits stored, in order; edits[0, done) are on the map.
    struct Edit
    {
        std::vector<Op> ops;
        EditKind kind;
        sf::Vector2f originBefore, originAfter;
    };
    std::vector<Edit> edits;
    std::size_t done = 0;
    int checked[2][2] = {}; // [redo][load]
    for (int step = 0; step < 200; ++step)
    {
        SCOPED_TRACE(step);
        const int action = pick(0, 9);
        if (action < 5)
        {
            // A new edit near the top-left or the bottom-right corner,
            // sometimes a load of the whole map with a new origin.
            const bool load = pick(0, 9) == 0;
            Edit edit{{}, load ? EditKind::Loading : EditKind::Painting, map.origin(), {}};
            const int corner = pick(0, 1) * 180;
            for (int i = pick(0, 25); i > 0; --i)
            {
                const FieldValues v{pick(0, 7), pick(0, 7), pick(0, 2), pick(0, 1) == 1};
                edit.ops.push_back({static_cast<Op::Kind>(pick(0, 4)), corner + pick(0, 19), corner + pick(0, 19), v});
            }
            if (load)
            {
                for (int c = 0; c < MapSize; ++c)
                    for (int r = 0; r < MapSize; ++r)
                        edit.ops.push_back({Op::Values, c, r, FieldValues{(c + r) % 3 + 4, 5, 0, (c * r) % 7 == 0}});
                edit.ops.push_back({Op::Origin, -pick(0, 200), -pick(0, 150), {}});
            }
            std::vector<FieldValues> before;
            for (const Field& field : map.fields())
                before.push_back(field.values());
            const std::size_t undoable = history.undoCount(), redoable = history.redoCount();
            history.begin(map, edit.kind);
            for (const Op& op : edit.ops)
                apply(map, op);
            history.end();
            edit.originAfter = map.origin();

            bool changed = load && edit.originAfter != edit.originBefore;
            for (std::size_t i = 0; i < before.size(); ++i)
                changed |= before[i] != map.fields()[i].values();
            if (!changed)
            {
                // Not an entry, and what could be redone still can.
                ASSERT_EQ(history.undoCount(), undoable);
                ASSERT_EQ(history.redoCount(), redoable);
                continue;
            }
            ASSERT_EQ(history.undoCount(), undoable + 1);
            ASSERT_EQ(history.redoCount(), 0u);
            edits.resize(done);
            edits.push_back(edit);
            ++done;
        }
        else if (action < 9)
        {
            const bool redo = action >= 7;
            const sf::Vector2f originBefore = map.origin();
            const std::optional<EditSummary> summary = redo ? history.redo(map) : history.undo(map);
            ASSERT_EQ(summary.has_value(), redo ? done < edits.size() : done > 0);
            if (!summary)
                continue;
            done = redo ? done + 1 : done - 1;
            const Edit& edit = edits[redo ? done - 1 : done];
            EXPECT_EQ(summary->kind, edit.kind);
            ++checked[redo][edit.kind == EditKind::Loading];


            // The replay: a fresh map given every edit still done, in order.
            FieldMap replay(data.get());
            for (std::size_t e = 0; e < done; ++e)
                for (const Op& op : edits[e].ops)
                    apply(replay, op);
            ASSERT_EQ(differences(map, replay), 0);
            // Only loads move the map back and forth; walking is no edit.
            const sf::Vector2f origin = edit.kind != EditKind::Loading ? originBefore
                                        : redo                         ? edit.originAfter
                                                                       : edit.originBefore;
            ASSERT_EQ(map.origin(), origin);

            // In the same frame, every field in view shows the piece the
            // types around it give.
            forFieldsInView(map, [&](int c, int r) {
                ASSERT_EQ(map.at(c, r).groundSprite.getTextureRect(), rulePiece(map, c, r)) << c << ", " << r;
            });
            replay.setOrigin(origin.x, origin.y);
            map.refresh();
            replay.refresh();
            for (std::size_t i = 0; i < map.fields().size(); ++i)
            {
                const Field& a = map.fields()[i];
                const Field& b = replay.fields()[i];
                ASSERT_EQ(a.collisionRect, b.collisionRect) << i;
                // Objects are placed, and so known to be there or not, around the view.
                const sf::Vector2f p = a.groundSprite.getPosition();
                if (!PlacementWindow.contains(int(p.x), int(p.y)))
                    continue;
                ASSERT_EQ(a.object.present(), b.object.present()) << i;
                if (a.object.present())
                {
                    ASSERT_EQ(a.object.position(), b.object.position()) << i;
                }
            }
        }
        else
        {
            // Walking moves the view.
            const sf::Vector2f view = views[pick(0, 4)];
            map.setOrigin(view.x, view.y);
            map.refresh();
        }
    }
    // Every kind of step was checked.
    EXPECT_GT(edits.size(), 30u);
    for (const auto& counts : checked)
        EXPECT_TRUE(counts[0] > 5 && counts[1] > 0) << counts[0] << ", " << counts[1];
}

TEST_F(EditHistoryTest, NewEditDropsTheRedoBranchButAnEditOfNothingDoesNot)
{
    const auto edit = [&](int type, int column) {
        history.begin(map, EditKind::Painting);
        map.paintGround(column, 5, type, false);
        history.end();
    };
    edit(1, 10);
    edit(2, 11);
    ASSERT_TRUE(history.undo(map));
    EXPECT_EQ(map.at(11, 5).groundType, DefaultGroundType);

    // A click on ground that is already there, and a field painted and
    // painted back, change nothing: no entry, and the redo stays.
    edit(1, 10);
    history.begin(map, EditKind::Painting);
    map.paintGround(12, 5, 3, false);
    map.paintGround(12, 5, DefaultGroundType, false);
    history.end();
    EXPECT_EQ(history.undoCount(), 1u);
    EXPECT_EQ(history.redoCount(), 1u);

    // A real change drops it.
    edit(3, 13);
    EXPECT_EQ(history.redoCount(), 0u);
    EXPECT_FALSE(history.redo(map));
    ASSERT_TRUE(history.undo(map));
    ASSERT_TRUE(history.undo(map));
    EXPECT_FALSE(history.undo(map));
    EXPECT_EQ(map.at(10, 5).groundType, DefaultGroundType);
    EXPECT_EQ(map.at(11, 5).groundType, DefaultGroundType);

    // A load that failed yet changed the map leaves nothing to undo that
    // would no longer fit.
    edit(1, 10);
    history.begin(map, EditKind::Loading);
    map.setSolid(0, 0, true);
    history.discard();
    EXPECT_EQ(history.undoCount() + history.redoCount(), 0u);
}

TEST_F(EditHistoryTest, WholeMapEditsStayWithinTheMemoryBound)
{
    // Whole-map fills of alternating types: only the newest stay, within the
    // limit, and each of them still undoes exactly.
    const int edits = 40;
    for (int e = 1; e <= edits; ++e)
    {
        history.begin(map, EditKind::Fill);
        for (int c = 0; c < MapSize; ++c)
            for (int r = 0; r < MapSize; ++r)
                map.paintGround(c, r, e % 7, (c + r) % 2 == 0);
        history.end();
        ASSERT_LE(history.bytes(), EditHistoryByteLimit);
    }
    const std::size_t kept = history.undoCount();
    EXPECT_LT(kept, std::size_t(edits));
    EXPECT_GE(kept, 20u) << "the limit keeps a useful number of whole-map edits";
    while (history.undo(map))
    {
    }
    const int oldest = edits - int(kept); // the last edit dropped: its fields stay
    EXPECT_EQ(map.at(0, 0).underType, oldest % 7);
    EXPECT_EQ(map.at(199, 198).groundType, oldest % 7);
}

TEST_F(EditHistoryTest, AFieldUndoneBesideTheViewFollowsWhenItComesIntoView)
{
    // With the origin at (0, 0) the pass reaches column 36; column 37 only
    // once the view has moved right.
    const sf::Vector2f home(0, 0), right(-160, 0);
    for (const sf::Vector2f& view : {right, home})
    {
        map.setOrigin(view.x, view.y);
        map.refresh();
    }
    history.begin(map, EditKind::Painting);
    paint(36, 10, 3);
    history.end();
    map.setOrigin(right.x, right.y);
    map.refresh();
    map.setOrigin(home.x, home.y);
    ASSERT_TRUE(history.undo(map));
    map.setOrigin(right.x, right.y);
    map.refresh();
    for (int c = 35; c <= 38; ++c)
        for (int r = 9; r <= 11; ++r)
            EXPECT_EQ(piece(c, r), rulePiece(map, c, r)) << c << ", " << r;
}
