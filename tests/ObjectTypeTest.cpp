#include "content/ObjectType.h"
#include "world/PlacedObject.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ObjectDefinition, ReadsTheEightLinesAndPlacesPictureAndBox)
{
    const ObjectDefinitionLines lines = parseObjectDefinition("2\r\n3\n8\r\n4\n10\n8\n1\n  A tall tree \r\nignored\n");
    EXPECT_EQ(lines.message, "  A tall tree "); // leading blanks kept, CR dropped
    const ObjectType tree = makeObjectDefinition(7, nullptr, lines);
    EXPECT_EQ(tree.id, 7);
    EXPECT_EQ(tree.sprite.getTextureRect(), sf::IntRect(0, 0, 32, 48));
    EXPECT_EQ(tree.sprite.getOrigin(), sf::Vector2f(16, 32));
    EXPECT_EQ(tree.collisionRect, sf::IntRect(0, 0, 24, 38));

    PlacedObject placed;
    placed.assign(&tree);
    EXPECT_TRUE(placed.present());
    placed.placeAt({160, 96});
    EXPECT_EQ(placed.position(), sf::Vector2f(160, 96));
    EXPECT_EQ(placed.collisionRect(), sf::IntRect(148, 72, 24, 38));
    placed.placeAt({-0.5f, 10.75f}); // fractions are truncated toward zero
    EXPECT_EQ(placed.collisionRect(), sf::IntRect(-12, -13, 24, 38));

    // Object 0 is never present once placed and never moves.
    const ObjectType zero = makeObjectDefinition(0, nullptr, parseObjectDefinition("1\n1\n"));
    PlacedObject none;
    none.assign(&zero);
    none.placeAt({50, 50});
    EXPECT_FALSE(none.present());
    EXPECT_EQ(none.position(), sf::Vector2f(0, 0));
}

TEST(ObjectDefinition, ShortGarbledAndHugeFilesReadSafely)
{
    const ObjectType block = makeObjectDefinition(1, nullptr, parseObjectDefinition("1\n1"));
    EXPECT_EQ(block.sprite.getTextureRect(), sf::IntRect(0, 0, 16, 16));
    EXPECT_EQ(block.collisionRect, sf::IntRect(0, 0, 16, 16));
    EXPECT_EQ(block.message, "");

    const ObjectDefinitionLines garbled = parseObjectDefinition("wide\n\xff\xfe\n-\n+\n \n\n9x\n\x01\x02");
    EXPECT_EQ(garbled.width, 0);
    EXPECT_EQ(garbled.height, 0);
    EXPECT_EQ(garbled.anchorColumn, 9);
    EXPECT_EQ(garbled.message, "\x01\x02");

    // Huge numbers saturate instead of overflowing: INT_MAX * 16 - INT_MAX,
    // -2147483648 * 16 + 2147483648.
    const ObjectType huge = makeObjectDefinition(
        3, nullptr, parseObjectDefinition("99999999999\n-99999999999\n0\n2147483647\n-2147483648\n2147483647\n"));
    EXPECT_EQ(huge.sprite.getTextureRect().width, INT_MAX);
    EXPECT_EQ(huge.sprite.getTextureRect().height, INT_MIN);
    EXPECT_EQ(huge.collisionRect.width, INT_MAX);
    EXPECT_EQ(huge.collisionRect.height, INT_MIN);
    PlacedObject placed;
    placed.assign(&huge);
    placed.placeAt({1e9f, -1e9f}); // must not overflow either
    EXPECT_TRUE(placed.present());
}
