#include "content/ObjectType.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ObjectDefinition, ReadsTheEightLinesAndIgnoresTheRest)
{
    const ObjectDefinitionLines lines = parseObjectDefinition("2\r\n3\n8\r\n4\n10\n8\n1\n  A tall tree \r\nignored\n");
    EXPECT_EQ(lines.width, 2);
    EXPECT_EQ(lines.height, 3);
    EXPECT_EQ(lines.collisionTopOffset, 8);
    EXPECT_EQ(lines.collisionLeftOffset, 4);
    EXPECT_EQ(lines.collisionHeightReduction, 10);
    EXPECT_EQ(lines.collisionWidthReduction, 8);
    EXPECT_EQ(lines.anchorColumn, 1);
    EXPECT_EQ(lines.message, "  A tall tree "); // leading blanks kept, CR dropped

    const ObjectType tree = makeObjectDefinition(7, nullptr, lines);
    EXPECT_TRUE(tree.present);
    EXPECT_EQ(tree.id, 7);
    EXPECT_EQ(tree.sprite.getTextureRect(), sf::IntRect(0, 0, 32, 48));
    EXPECT_EQ(tree.sprite.getOrigin(), sf::Vector2f(16, 32));
    EXPECT_EQ(tree.collisionRect, sf::IntRect(0, 0, 24, 38));
    EXPECT_EQ(tree.collisionOffsetX, 4);
    EXPECT_EQ(tree.collisionOffsetY, 8);
}

TEST(ObjectDefinition, ShortAndGarbledFilesReadAsZeroAndEmpty)
{
    const ObjectType block = makeObjectDefinition(1, nullptr, parseObjectDefinition("1\n1"));
    EXPECT_EQ(block.sprite.getTextureRect(), sf::IntRect(0, 0, 16, 16));
    EXPECT_EQ(block.sprite.getOrigin(), sf::Vector2f(0, 0));
    EXPECT_EQ(block.collisionRect, sf::IntRect(0, 0, 16, 16));
    EXPECT_EQ(block.message, "");

    const ObjectDefinitionLines empty = parseObjectDefinition("");
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.anchorColumn, 0);

    const ObjectDefinitionLines garbled = parseObjectDefinition("wide\n\xff\xfe\n-\n+\n \n\n9x\n\x01\x02");
    EXPECT_EQ(garbled.width, 0);
    EXPECT_EQ(garbled.height, 0);
    EXPECT_EQ(garbled.anchorColumn, 9);
    EXPECT_EQ(garbled.message, "\x01\x02");
}

TEST(ObjectDefinition, HugeNumbersSaturateInsteadOfOverflowing)
{
    const ObjectType huge =
        makeObjectDefinition(3, nullptr, parseObjectDefinition("99999999999\n-99999999999\n0\n0\n-2147483648\n2147483647\n"));
    EXPECT_EQ(huge.sprite.getTextureRect().width, INT_MAX);
    EXPECT_EQ(huge.sprite.getTextureRect().height, INT_MIN);
    // INT_MAX * 16 - INT_MAX saturates; -2147483648 * 16 + 2147483648 saturates.
    EXPECT_EQ(huge.collisionRect.width, INT_MAX);
    EXPECT_EQ(huge.collisionRect.height, INT_MIN);

    ObjectType placed = huge;
    placed.collisionOffsetX = INT_MAX;
    placed.placeAt({1e9f, -1e9f}); // must not overflow either
    EXPECT_TRUE(placed.present);
}

TEST(ObjectDefinition, PlaceAtMovesPictureAndCollisionBox)
{
    ObjectType tree = makeObjectDefinition(2, nullptr, parseObjectDefinition("2\n3\n8\n4\n10\n8\n1\n"));
    tree.placeAt({160, 96});
    EXPECT_EQ(tree.sprite.getPosition(), sf::Vector2f(160, 96));
    EXPECT_EQ(tree.collisionRect, sf::IntRect(148, 72, 24, 38));

    // Fractions are truncated toward zero.
    tree.placeAt({-0.5f, 10.75f});
    EXPECT_EQ(tree.collisionRect.left, -12);
    EXPECT_EQ(tree.collisionRect.top, -13);

    // A copy of object 0 is never present and never moves.
    ObjectType none = makeObjectDefinition(0, nullptr, parseObjectDefinition("1\n1\n"));
    EXPECT_TRUE(none.present);
    none.placeAt({50, 50});
    EXPECT_FALSE(none.present);
    EXPECT_EQ(none.sprite.getPosition(), sf::Vector2f(0, 0));
    EXPECT_EQ(none.collisionRect, sf::IntRect(0, 0, 16, 16));
}
