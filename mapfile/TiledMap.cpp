#include "mapfile/TiledMap.h"

#include "content/ContentPictures.h"
#include "content/ImageFile.h"
#include "platform/SafeFileWriter.h"
#include "world/AutoTile.h"
#include "world/MapPicture.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <new>
#include <sstream>
#include <vector>

namespace
{
constexpr int PiecesPerType = 16;  // the pieces auto-tiling chooses from, one tileset row per ground type
constexpr int SheetColumns = 5;    // pieces per row of a field texture
constexpr int ObjectsLayerId = 3;  // layer ids: under 1, ground 2, objects 3, solid 4
constexpr int LayerCount = 4;

// The pieces of a sheet that auto-tiling uses, in reading order: tile k of a
// ground type's row is piece k of this list (the interior first).
const std::vector<sf::IntRect>& groundPieces()
{
    static const std::vector<sf::IntRect> pieces = [] {
        std::vector<sf::IntRect> list;
        for (const PieceCorner& corner : AutoTilePieces)
            list.emplace_back(corner.left, corner.top, FieldSize, FieldSize);
        std::sort(list.begin(), list.end(), [](const sf::IntRect& a, const sf::IntRect& b) {
            return a.top != b.top ? a.top < b.top : a.left < b.left;
        });
        list.erase(std::unique(list.begin(), list.end()), list.end());
        return list;
    }();
    return pieces;
}

int pieceTile(const sf::IntRect& piece)
{
    const std::vector<sf::IntRect>& pieces = groundPieces();
    return static_cast<int>(std::find(pieces.begin(), pieces.end(), piece) - pieces.begin());
}

int clampToInt(double value)
{
    return static_cast<int>(std::clamp(std::floor(value), double{INT_MIN}, double{INT_MAX}));
}

// What one tile of a tileset is: its integer properties and, in an image
// collection, its own picture.
struct TileEntry
{
    int id = 0;
    std::vector<std::pair<const char*, int>> properties;
    std::string image; // file name beside the map; empty in a tileset of one picture
    int width = 0, height = 0;
};

struct Tileset
{
    std::string name;
    std::string file;  // the tileset's file name beside the map
    int firstGid = 1;
    int tileWidth = FieldSize, tileHeight = FieldSize;
    int tileCount = 0;
    int columns = 0;   // 0: an image collection
    std::string image; // the one picture of a grid tileset
    int imageWidth = 0, imageHeight = 0;
    std::vector<TileEntry> tiles;
};

// An object as a tile object: where Tiled puts it (its bottom-left corner).
struct TileObject
{
    int gid = 0;
    int object = 0;
    double x = 0, y = 0;
    int width = 0, height = 0;
};

struct Export
{
    std::vector<Tileset> tilesets;
    std::vector<std::uint32_t> under, ground, solid; // row by row, as Tiled stores layers
    std::vector<TileObject> objects;
    int originX = 0, originY = 0;
    // Pictures to write beside the map: file name and PNG bytes.
    std::vector<std::pair<std::string, std::string>> pictures;
};

std::string png(const sf::Image& image, const std::string& file, std::string& bytes)
{
    const sf::Vector2u size = image.getSize();
    if (WriteResult encoded = encodePng(image.getPixelsPtr(), size.x, size.y, bytes); !encoded)
        return file + ": " + encoded.reason;
    return {};
}

std::string buildExport(const StoredMap& map, const ContentPictures& content, const std::string& stem,
                        const char* tilesetExtension, Export& out)
{
    const std::vector<sf::IntRect>& pieces = groundPieces();
    const int types = content.groundTypeCount();

    // Ground: one row of pieces per ground type.
    Tileset ground;
    ground.name = stem + "-ground";
    ground.file = ground.name + tilesetExtension;
    ground.image = ground.name + ".png";
    ground.columns = PiecesPerType;
    ground.tileCount = PiecesPerType * types;
    ground.imageWidth = PiecesPerType * FieldSize;
    ground.imageHeight = types * FieldSize;
    sf::Image sheetPicture;
    sheetPicture.create(static_cast<unsigned>(ground.imageWidth), static_cast<unsigned>(ground.imageHeight),
                        sf::Color::Transparent);
    for (int type = 0; type < types; ++type)
    {
        const sf::Image* sheet = content.groundSheet(type);
        for (int k = 0; k < PiecesPerType; ++k)
        {
            const sf::IntRect& piece = pieces[static_cast<std::size_t>(k)];
            if (sheet)
                sheetPicture.copy(cutPiece(*sheet, piece), static_cast<unsigned>(k * FieldSize),
                                  static_cast<unsigned>(type * FieldSize));
            TileEntry tile;
            tile.id = type * PiecesPerType + k;
            tile.properties = {{"ground", type},
                               {"piece", piece.left / FieldSize + SheetColumns * (piece.top / FieldSize)}};
            ground.tiles.push_back(std::move(tile));
        }
    }
    out.pictures.emplace_back(ground.image, std::string());
    if (std::string reason = png(sheetPicture, ground.image, out.pictures.back().second); !reason.empty())
        return reason;

    // Objects: an image collection, tile N the picture of object N.
    Tileset objects;
    objects.name = stem + "-objects";
    objects.file = objects.name + tilesetExtension;
    objects.firstGid = ground.firstGid + std::max(ground.tileCount, 1);
    objects.tileWidth = objects.tileHeight = 1;
    for (int id = 1; id < content.objectCount(); ++id)
    {
        const ObjectType* type = content.object(id);
        const sf::Image* picture = content.objectPicture(id);
        const sf::IntRect& piece = type->sprite.getTextureRect();
        const long long width = std::llabs(static_cast<long long>(piece.width));
        const long long height = std::llabs(static_cast<long long>(piece.height));
        if (width > MaxTiledTileSide || height > MaxTiledTileSide)
            return "object " + std::to_string(id) + "'s picture is " + std::to_string(width) + " x " +
                   std::to_string(height) + " pixels, more than a tile may be (" + std::to_string(MaxTiledTileSide) +
                   " per side)";
        sf::Image image = picture ? cutPiece(*picture, piece) : sf::Image();
        if (image.getSize().x == 0)
            image.create(1, 1, sf::Color::Transparent); // draws nothing, as in the game
        TileEntry tile;
        tile.id = id;
        tile.image = stem + "-object-" + std::to_string(id) + ".png";
        tile.width = static_cast<int>(image.getSize().x);
        tile.height = static_cast<int>(image.getSize().y);
        const sf::Vector2f& origin = type->sprite.getOrigin();
        tile.properties = {{"object", id},
                           {"fieldx", clampToInt(origin.x)},
                           {"fieldy", clampToInt(static_cast<double>(origin.y) - tile.height)}};
        objects.tileWidth = std::max(objects.tileWidth, tile.width);
        objects.tileHeight = std::max(objects.tileHeight, tile.height);
        out.pictures.emplace_back(tile.image, std::string());
        if (std::string reason = png(image, tile.image, out.pictures.back().second); !reason.empty())
            return reason;
        objects.tiles.push_back(std::move(tile));
    }
    objects.tileCount = static_cast<int>(objects.tiles.size());

    // Solid: one marker tile, a red square with a dark border.
    Tileset solid;
    solid.name = stem + "-solid";
    solid.file = solid.name + tilesetExtension;
    solid.image = solid.name + ".png";
    solid.firstGid = objects.firstGid + std::max(content.objectCount(), 1);
    solid.columns = 1;
    solid.tileCount = 1;
    solid.imageWidth = solid.imageHeight = FieldSize;
    TileEntry markerTile;
    markerTile.properties = {{"solid", 1}};
    solid.tiles.push_back(std::move(markerTile));
    sf::Image marker;
    marker.create(FieldSize, FieldSize, sf::Color(220, 40, 40, 128));
    for (unsigned i = 0; i < FieldSize; ++i)
        for (unsigned edge : {0u, unsigned{FieldSize} - 1})
        {
            marker.setPixel(i, edge, sf::Color(120, 0, 0, 220));
            marker.setPixel(edge, i, sf::Color(120, 0, 0, 220));
        }
    out.pictures.emplace_back(solid.image, std::string());
    if (std::string reason = png(marker, solid.image, out.pictures.back().second); !reason.empty())
        return reason;

    // The layers, row by row.
    const std::size_t count = map.fields.size();
    out.under.assign(count, 0);
    out.ground.assign(count, 0);
    out.solid.assign(count, 0);
    for (int row = 0; row < MapSize; ++row)
    {
        for (int column = 0; column < MapSize; ++column)
        {
            const FieldValues& field = map.fields[static_cast<std::size_t>(FieldMap::index(column, row))];
            const std::size_t i = static_cast<std::size_t>(row * MapSize + column);
            if (content.hasGroundType(field.underType))
                out.under[i] = static_cast<std::uint32_t>(ground.firstGid + field.underType * PiecesPerType);
            if (content.hasGroundType(field.groundType))
                out.ground[i] = static_cast<std::uint32_t>(ground.firstGid + field.groundType * PiecesPerType +
                                                           pieceTile(mapGroundPiece(map.fields, column, row)));
            if (field.solid)
                out.solid[i] = static_cast<std::uint32_t>(solid.firstGid);
            if (field.objectId <= 0 || field.objectId >= content.objectCount())
                continue;
            // Where the whole map's picture puts it: its origin on the field's corner.
            const TileEntry& tile = objects.tiles[static_cast<std::size_t>(field.objectId - 1)];
            const sf::Vector2f& origin = content.object(field.objectId)->sprite.getOrigin();
            TileObject object;
            object.gid = objects.firstGid + field.objectId;
            object.object = field.objectId;
            object.x = std::floor(static_cast<double>(static_cast<float>(FieldSize * column) - origin.x));
            object.y = std::floor(static_cast<double>(static_cast<float>(FieldSize * row) - origin.y)) + tile.height;
            object.width = tile.width;
            object.height = tile.height;
            out.objects.push_back(object);
        }
    }
    out.originX = map.originX;
    out.originY = map.originY;
    out.tilesets = {std::move(ground), std::move(objects), std::move(solid)};
    return {};
}

// --- XML ---

void xmlProperties(pugi::xml_node node, const std::vector<std::pair<const char*, int>>& properties)
{
    pugi::xml_node list = node.append_child("properties");
    for (const auto& [name, value] : properties)
    {
        pugi::xml_node property = list.append_child("property");
        property.append_attribute("name") = name;
        property.append_attribute("type") = "int";
        property.append_attribute("value") = value;
    }
}

std::string xmlText(const pugi::xml_document& document)
{
    std::ostringstream text;
    document.save(text, " ", pugi::format_default, pugi::encoding_utf8);
    return text.str();
}

std::string xmlTileset(const Tileset& set)
{
    pugi::xml_document document;
    pugi::xml_node node = document.append_child("tileset");
    node.append_attribute("version") = "1.8";
    node.append_attribute("name") = set.name.c_str();
    node.append_attribute("tilewidth") = set.tileWidth;
    node.append_attribute("tileheight") = set.tileHeight;
    node.append_attribute("tilecount") = set.tileCount;
    node.append_attribute("columns") = set.columns;
    if (set.columns == 0)
    {
        pugi::xml_node grid = node.append_child("grid");
        grid.append_attribute("orientation") = "orthogonal";
        grid.append_attribute("width") = 1;
        grid.append_attribute("height") = 1;
    }
    else
    {
        pugi::xml_node image = node.append_child("image");
        image.append_attribute("source") = set.image.c_str();
        image.append_attribute("width") = set.imageWidth;
        image.append_attribute("height") = set.imageHeight;
    }
    for (const TileEntry& tile : set.tiles)
    {
        pugi::xml_node entry = node.append_child("tile");
        entry.append_attribute("id") = tile.id;
        xmlProperties(entry, tile.properties);
        if (!tile.image.empty())
        {
            pugi::xml_node image = entry.append_child("image");
            image.append_attribute("width") = tile.width;
            image.append_attribute("height") = tile.height;
            image.append_attribute("source") = tile.image.c_str();
        }
    }
    return xmlText(document);
}

std::string csvText(const std::vector<std::uint32_t>& ids)
{
    std::string text = "\n";
    for (std::size_t i = 0; i < ids.size(); ++i)
    {
        text += std::to_string(ids[i]);
        if (i + 1 < ids.size())
            text += ',';
        if ((i + 1) % MapSize == 0)
            text += '\n';
    }
    return text;
}

void xmlTileLayer(pugi::xml_node map, int id, const char* name, const std::vector<std::uint32_t>& ids,
                  TiledEncoding encoding, bool visible)
{
    pugi::xml_node layer = map.append_child("layer");
    layer.append_attribute("id") = id;
    layer.append_attribute("name") = name;
    layer.append_attribute("width") = MapSize;
    layer.append_attribute("height") = MapSize;
    if (!visible)
        layer.append_attribute("visible") = 0;
    pugi::xml_node data = layer.append_child("data");
    if (encoding == TiledEncoding::Csv)
    {
        data.append_attribute("encoding") = "csv";
        data.text().set(csvText(ids).c_str());
        return;
    }
    data.append_attribute("encoding") = "base64";
    if (encoding != TiledEncoding::Base64)
        data.append_attribute("compression") = tiledCompressionName(encoding);
    data.text().set(("\n   " + encodeTileIds(ids, encoding) + "\n  ").c_str());
}

std::string xmlMap(const Export& map, TiledEncoding encoding)
{
    pugi::xml_document document;
    pugi::xml_node node = document.append_child("map");
    node.append_attribute("version") = "1.8";
    node.append_attribute("orientation") = "orthogonal";
    node.append_attribute("renderorder") = "right-down";
    node.append_attribute("width") = MapSize;
    node.append_attribute("height") = MapSize;
    node.append_attribute("tilewidth") = FieldSize;
    node.append_attribute("tileheight") = FieldSize;
    node.append_attribute("infinite") = 0;
    node.append_attribute("nextlayerid") = LayerCount + 1;
    node.append_attribute("nextobjectid") = static_cast<unsigned long long>(map.objects.size() + 1);
    xmlProperties(node, {{"originX", map.originX}, {"originY", map.originY}});
    for (const Tileset& set : map.tilesets)
    {
        pugi::xml_node tileset = node.append_child("tileset");
        tileset.append_attribute("firstgid") = set.firstGid;
        tileset.append_attribute("source") = set.file.c_str();
    }
    xmlTileLayer(node, 1, "under", map.under, encoding, true);
    xmlTileLayer(node, 2, "ground", map.ground, encoding, true);
    pugi::xml_node group = node.append_child("objectgroup");
    group.append_attribute("id") = ObjectsLayerId;
    group.append_attribute("name") = "objects";
    group.append_attribute("draworder") = "index";
    unsigned long long id = 0;
    for (const TileObject& object : map.objects)
    {
        pugi::xml_node entry = group.append_child("object");
        entry.append_attribute("id") = ++id;
        entry.append_attribute("gid") = object.gid;
        entry.append_attribute("x") = object.x;
        entry.append_attribute("y") = object.y;
        entry.append_attribute("width") = object.width;
        entry.append_attribute("height") = object.height;
        xmlProperties(entry, {{"object", object.object}});
    }
    xmlTileLayer(node, 4, "solid", map.solid, encoding, false);
    return xmlText(document);
}

// --- JSON ---

nlohmann::json jsonProperties(const std::vector<std::pair<const char*, int>>& properties)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [name, value] : properties)
        list.push_back({{"name", name}, {"type", "int"}, {"value", value}});
    return list;
}

std::string jsonTileset(const Tileset& set)
{
    nlohmann::json node = {{"type", "tileset"},         {"version", "1.8"},           {"name", set.name},
                           {"tilewidth", set.tileWidth}, {"tileheight", set.tileHeight}, {"tilecount", set.tileCount},
                           {"columns", set.columns},     {"margin", 0},                {"spacing", 0}};
    if (set.columns == 0)
        node["grid"] = {{"orientation", "orthogonal"}, {"width", 1}, {"height", 1}};
    else
    {
        node["image"] = set.image;
        node["imagewidth"] = set.imageWidth;
        node["imageheight"] = set.imageHeight;
    }
    nlohmann::json tiles = nlohmann::json::array();
    for (const TileEntry& tile : set.tiles)
    {
        nlohmann::json entry = {{"id", tile.id}, {"properties", jsonProperties(tile.properties)}};
        if (!tile.image.empty())
        {
            entry["image"] = tile.image;
            entry["imagewidth"] = tile.width;
            entry["imageheight"] = tile.height;
        }
        tiles.push_back(std::move(entry));
    }
    node["tiles"] = std::move(tiles);
    return node.dump(1) + "\n";
}

nlohmann::json jsonTileLayer(int id, const char* name, const std::vector<std::uint32_t>& ids, TiledEncoding encoding,
                             bool visible)
{
    nlohmann::json layer = {{"id", id},       {"name", name},       {"type", "tilelayer"},
                            {"width", MapSize}, {"height", MapSize}, {"x", 0},
                            {"y", 0},         {"opacity", 1},       {"visible", visible}};
    if (encoding == TiledEncoding::Csv)
        layer["data"] = ids;
    else
    {
        layer["encoding"] = "base64";
        layer["compression"] = tiledCompressionName(encoding);
        layer["data"] = encodeTileIds(ids, encoding);
    }
    return layer;
}

std::string jsonMap(const Export& map, TiledEncoding encoding)
{
    nlohmann::json tilesets = nlohmann::json::array();
    for (const Tileset& set : map.tilesets)
        tilesets.push_back({{"firstgid", set.firstGid}, {"source", set.file}});
    nlohmann::json objects = nlohmann::json::array();
    unsigned long long id = 0;
    for (const TileObject& object : map.objects)
        objects.push_back({{"id", ++id},
                           {"gid", object.gid},
                           {"x", object.x},
                           {"y", object.y},
                           {"width", object.width},
                           {"height", object.height},
                           {"name", ""},
                           {"type", ""},
                           {"rotation", 0},
                           {"visible", true},
                           {"properties", jsonProperties({{"object", object.object}})}});
    nlohmann::json layers = nlohmann::json::array();
    layers.push_back(jsonTileLayer(1, "under", map.under, encoding, true));
    layers.push_back(jsonTileLayer(2, "ground", map.ground, encoding, true));
    layers.push_back({{"id", ObjectsLayerId},
                      {"name", "objects"},
                      {"type", "objectgroup"},
                      {"draworder", "index"},
                      {"x", 0},
                      {"y", 0},
                      {"opacity", 1},
                      {"visible", true},
                      {"objects", std::move(objects)}});
    layers.push_back(jsonTileLayer(4, "solid", map.solid, encoding, false));
    const nlohmann::json node = {{"type", "map"},
                                 {"version", "1.8"},
                                 {"orientation", "orthogonal"},
                                 {"renderorder", "right-down"},
                                 {"width", MapSize},
                                 {"height", MapSize},
                                 {"tilewidth", FieldSize},
                                 {"tileheight", FieldSize},
                                 {"infinite", false},
                                 {"compressionlevel", -1},
                                 {"nextlayerid", LayerCount + 1},
                                 {"nextobjectid", map.objects.size() + 1},
                                 {"properties", jsonProperties({{"originX", map.originX}, {"originY", map.originY}})},
                                 {"tilesets", std::move(tilesets)},
                                 {"layers", std::move(layers)}};
    return node.dump(1) + "\n";
}

std::string lowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::u8path(path).extension().u8string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}
} // namespace

bool isTiledMapPath(const std::string& path, TiledForm* form)
{
    const std::string extension = lowerExtension(path);
    const bool xml = extension == ".tmx";
    const bool json = extension == ".tmj" || extension == ".json";
    if (form && (xml || json))
        *form = xml ? TiledForm::Xml : TiledForm::Json;
    return xml || json;
}

WriteResult writeTiledMap(const StoredMap& map, const ContentPictures& content, const std::string& path,
                          TiledForm form, TiledEncoding encoding)
{
    if (map.fields.size() != static_cast<std::size_t>(FieldCount))
        return WriteResult::failed(path + ": the map has " + std::to_string(map.fields.size()) + " fields, not " +
                                   std::to_string(FieldCount));
    const bool xml = form == TiledForm::Xml;
    try
    {
        const std::filesystem::path target = std::filesystem::u8path(path);
        const std::string stem = target.stem().u8string();
        const auto beside = [&target](const std::string& name) {
            return (target.parent_path() / std::filesystem::u8path(name)).u8string();
        };
        Export exported;
        if (std::string reason = buildExport(map, content, stem, xml ? ".tsx" : ".tsj", exported); !reason.empty())
            return WriteResult::failed(path + ": " + reason);
        // Tilesets and pictures first: a map is never left naming files that are not there.
        for (const auto& [name, bytes] : exported.pictures)
            if (WriteResult written = writeFileSafely(beside(name), bytes); !written)
                return written;
        for (const Tileset& set : exported.tilesets)
            if (WriteResult written = writeFileSafely(beside(set.file), xml ? xmlTileset(set) : jsonTileset(set));
                !written)
                return written;
        return writeFileSafely(path, xml ? xmlMap(exported, encoding) : jsonMap(exported, encoding));
    }
    catch (const std::bad_alloc&)
    {
        return WriteResult::failed(path + ": not enough memory to export the map");
    }
    catch (const std::exception& error)
    {
        return WriteResult::failed(path + ": " + error.what());
    }
}
