#pragma once

#include "world/Field.h"
#include "world/FieldMap.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>

#include <cstdint>
#include <vector>

class ContentPictures;

constexpr unsigned MapPictureSide = MapPixels; // pixels per side of the whole map's picture: 3200

// The stored values of every field of `map`, in storage order (column by
// column), to draw its picture from while the map goes on changing.
std::vector<FieldValues> mapValues(const FieldMap& map);

// The whole map as one picture of 3200 x 3200 pixels, 8-bit RGBA row by row
// from the top, field (c, r) at (16 c, 16 r): what the scene shows of each
// field with the map at origin (0, 0), without the player and the HUD.
// - Under layers, then ground layers: the under layer shows the interior
//   piece (0, 0, 16, 16) of its type's sheet; the ground layer the piece the
//   auto-tiling rule gives from its four neighbours for columns and rows
//   1..198, and the piece of a new field, (0, 0, 16, 16), on the outer ring
//   (columns and rows 0 and 199), which the game never re-tiles.
// - Then the objects, row by row from the top and left to right in a row, so
//   lower rows cover upper ones: each at its field as the map places it (its
//   picture's origin on the field's corner), its piece at its size, clipped to
//   the picture. Object 0, a definition without a picture, and a picture
//   without pixels draw nothing.
// Pixels are blended as sprites are (source alpha over what is there, colour
// and alpha alike): exact for opaque and fully transparent pixels, and in
// between rounded as 8-bit premultiplied painting rounds (within one step of
// the graphics card's blending), the way Tiled's renderer draws too, so its
// picture of the map exported for it is the same to the pixel; a piece
// reaching past its picture's edge repeats the edge pixels, as the game's
// textures do. Pixels that nothing covers stay transparent (0, 0, 0, 0).
// `fields` must hold FieldCount values whose ground types and objects
// `content` has (parseMap checks a file for that); a field naming one it does
// not have draws nothing for it.
std::vector<std::uint8_t> composeMapPicture(const std::vector<FieldValues>& fields, const ContentPictures& content);

// The piece of its sheet that the ground layer of field (c, r) shows in the
// whole map's picture (see composeMapPicture): the auto-tiling rule's piece
// for columns and rows 1..198, a new field's piece on the outer ring.
// `fields` holds FieldCount values; c and r lie in 0..199.
sf::IntRect mapGroundPiece(const std::vector<FieldValues>& fields, int column, int row);

// The pixels that drawing `piece` of `picture` puts down, as a picture of the
// piece's size (|width| x |height|), unblended: a negative size mirrors, and
// a piece reaching past the picture repeats its edge pixels, as in
// composeMapPicture. An empty piece or picture gives an empty picture.
sf::Image cutPiece(const sf::Image& picture, const sf::IntRect& piece);
