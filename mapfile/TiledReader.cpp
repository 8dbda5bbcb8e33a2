#include "mapfile/TiledReader.h"

#include "content/ContentCatalog.h"
#include "platform/RegularFile.h"
#include "world/FieldMap.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <new>
#include <optional>

namespace
{
constexpr std::uint32_t FlipBits = 0xF0000000u; // horizontal, vertical, diagonal and hexagonal turn
constexpr const char* LayerNames[] = {"under", "ground", "objects", "solid"};

// A refusal on its way out: where (a line, a JSON path) and what.
struct Refusal
{
    std::string text;
};

[[noreturn]] void refuse(const std::string& where, const std::string& what)
{
    throw Refusal{where.empty() ? what : where + ": " + what};
}

// The form-independent content of a Tiled map: what the resolver needs.
struct Tile
{
    std::map<std::string, long long> properties; // the integer ones
};

struct TilesetData
{
    std::uint64_t firstGid = 0;
    std::string name; // how refusals name it
    std::map<std::uint32_t, Tile> tiles;
};

struct TileLayerData
{
    std::string where;
    std::vector<std::uint32_t> ids; // row by row
};

struct ObjectData
{
    std::string where;
    std::uint32_t gid = 0;
    double x = 0, y = 0;
};

struct MapData
{
    std::map<std::string, long long> properties;
    std::vector<TilesetData> tilesets;
    std::map<std::string, TileLayerData> tileLayers;
    std::vector<ObjectData> objects;
    bool hasObjectLayer = false;
};

// An integer in text: decimal, an optional '-', or a number with a fraction
// of zero as Tiled may write a float ("16.0").
std::optional<long long> integerText(std::string_view text)
{
    long long value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status == std::errc() && end == text.data() + text.size() && !text.empty())
        return value;
    return std::nullopt;
}

std::optional<double> numberText(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void checkShape(const std::string& where, const std::string& orientation, long long width, long long height,
                long long tileWidth, long long tileHeight, bool infinite, int side)
{
    if (orientation != "orthogonal")
        refuse(where, "the map is " + (orientation.empty() ? std::string("of no orientation") : orientation) +
                          ", not orthogonal");
    if (infinite)
        refuse(where, "the map is infinite, not " + std::to_string(side) + " x " + std::to_string(side) + " tiles");
    if (width != side || height != side)
        refuse(where, "the map is " + std::to_string(width) + " x " + std::to_string(height) + " tiles, not " +
                          std::to_string(side) + " x " + std::to_string(side));
    if (tileWidth != FieldSize || tileHeight != FieldSize)
        refuse(where, "the map's tiles are " + std::to_string(tileWidth) + " x " + std::to_string(tileHeight) +
                          " pixels, not " + std::to_string(FieldSize) + " x " + std::to_string(FieldSize));
}

bool knownTileLayer(const std::string& name)
{
    for (const char* known : LayerNames)
        if (name == known)
            return true;
    return false;
}

void addTileLayer(MapData& map, const std::string& name, TileLayerData layer)
{
    const std::string where = layer.where;
    if (!map.tileLayers.emplace(name, std::move(layer)).second)
        refuse(where, "a second layer named \"" + name + "\"");
}

// --- XML ---

class XmlReader
{
public:
    XmlReader(std::string_view text, std::string prefix) : text(text), prefix(std::move(prefix))
    {
        for (std::size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1))
            lineEnds.push_back(i);
    }

    pugi::xml_node parse(pugi::xml_document& document)
    {
        const pugi::xml_parse_result result =
            document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!result)
            refuse(lineAt(static_cast<std::size_t>(result.offset)),
                   std::string("not XML: ") + result.description());
        return document.document_element();
    }

    std::string where(const pugi::xml_node& node) const
    {
        return lineAt(static_cast<std::size_t>(node.offset_debug()));
    }

    long long integer(const pugi::xml_node& node, const char* attribute, long long absent) const
    {
        const pugi::xml_attribute value = node.attribute(attribute);
        if (!value)
            return absent;
        const std::optional<long long> number = integerText(value.value());
        if (!number)
            refuse(where(node), std::string("the attribute ") + attribute + " is not a whole number");
        return *number;
    }

    double number(const pugi::xml_node& node, const char* attribute) const
    {
        const pugi::xml_attribute value = node.attribute(attribute);
        if (!value)
            return 0;
        const std::optional<double> number = numberText(value.value());
        if (!number)
            refuse(where(node), std::string("the attribute ") + attribute + " is not a number");
        return *number;
    }

    std::map<std::string, long long> properties(const pugi::xml_node& node) const
    {
        std::map<std::string, long long> found;
        for (pugi::xml_node property : node.child("properties").children("property"))
        {
            const pugi::xml_attribute value = property.attribute("value");
            if (const std::optional<long long> number = integerText(value ? value.value() : property.text().get()))
                found[property.attribute("name").value()] = *number;
        }
        return found;
    }

private:
    std::string lineAt(std::size_t offset) const
    {
        const std::size_t line = static_cast<std::size_t>(
                                      std::lower_bound(lineEnds.begin(), lineEnds.end(), offset) - lineEnds.begin()) +
                                  1;
        return prefix + "line " + std::to_string(line);
    }

    std::string_view text;
    std::string prefix;
    std::vector<std::size_t> lineEnds; // offsets of the text's '\n's, for line numbers
};

void readXmlTiles(const XmlReader& reader, const pugi::xml_node& node, TilesetData& set)
{
    for (pugi::xml_node tile : node.children("tile"))
    {
        const long long id = reader.integer(tile, "id", -1);
        if (id < 0 || id > UINT32_MAX)
            refuse(reader.where(tile), "a tile without a valid id");
        set.tiles[static_cast<std::uint32_t>(id)].properties = reader.properties(tile);
    }
}

void readJsonTileset(const nlohmann::json& node, const std::string& path, TilesetData& set);
nlohmann::json parseJson(std::string_view text, const std::string& prefix);

// A tileset file named by a map: XML for ".tsx", JSON otherwise.
void readExternalTileset(const std::string& source, const TilesetReader& readTileset, TilesetData& set,
                         const std::string& where)
{
    std::string text, error;
    if (!readTileset || !readTileset(source, text, error))
        refuse(where, "the tileset " + source + " cannot be read: " + error);
    set.name = source;
    const std::string prefix = source + ": ";
    std::string extension = std::filesystem::u8path(source).extension().u8string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".tsx")
    {
        XmlReader reader(text, prefix);
        pugi::xml_document document;
        const pugi::xml_node root = reader.parse(document);
        if (std::string_view(root.name()) != "tileset")
            refuse(reader.where(root), "not a tileset");
        readXmlTiles(reader, root, set);
    }
    else
        readJsonTileset(parseJson(text, prefix), source + ": at ", set);
}

std::vector<std::uint32_t> readXmlData(const XmlReader& reader, const pugi::xml_node& layer, std::size_t count)
{
    const pugi::xml_node data = layer.child("data");
    const std::string where = reader.where(data ? data : layer);
    if (!data)
        refuse(where, "the layer has no data");
    if (data.child("chunk"))
        refuse(where, "the layer is in chunks, as only an infinite map is");
    const std::string encoding = data.attribute("encoding").value();
    std::vector<std::uint32_t> ids;
    std::string error;
    if (encoding.empty())
    {
        for (pugi::xml_node tile : data.children("tile"))
        {
            const long long gid = reader.integer(tile, "gid", 0);
            if (gid < 0 || gid > UINT32_MAX || ids.size() == count)
                refuse(reader.where(tile), ids.size() == count ? "more tiles than the layer has" : "a bad tile id");
            ids.push_back(static_cast<std::uint32_t>(gid));
        }
        if (ids.size() != count)
            refuse(where, "the layer holds " + std::to_string(ids.size()) + " tiles, not " + std::to_string(count));
        return ids;
    }
    TiledEncoding kind = TiledEncoding::Csv;
    bool read = false;
    if (encoding == "csv")
        read = readCsvTileIds(data.text().get(), count, ids, error);
    else if (encoding == "base64")
    {
        if (!tiledCompression(data.attribute("compression").value(), kind))
            refuse(where, std::string("unknown compression \"") + data.attribute("compression").value() + "\"");
        read = decodeTileIds(data.text().get(), kind, count, ids, error);
    }
    else
        refuse(where, "unknown encoding \"" + encoding + "\"");
    if (!read)
        refuse(where, error);
    return ids;
}

void readXmlLayers(const XmlReader& reader, const pugi::xml_node& parent, int side, MapData& map, int depth = 0)
{
    if (depth > MaxTiledGroupDepth)
        refuse(reader.where(parent), "groups nested more than " + std::to_string(MaxTiledGroupDepth) + " deep");
    const std::size_t count = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
    for (pugi::xml_node node : parent.children())
    {
        const std::string kind = node.name();
        const std::string name = node.attribute("name").value();
        if (kind == "group")
            readXmlLayers(reader, node, side, map, depth + 1);
        else if (kind == "layer")
        {
            if (!knownTileLayer(name))
                continue;
            if (reader.integer(node, "width", 0) != side || reader.integer(node, "height", 0) != side)
                refuse(reader.where(node), "the layer \"" + name + "\" is not the size of the map");
            addTileLayer(map, name, {reader.where(node), readXmlData(reader, node, count)});
        }
        else if (kind == "objectgroup" && name == "objects")
        {
            if (map.hasObjectLayer)
                refuse(reader.where(node), "a second layer named \"objects\"");
            map.hasObjectLayer = true;
            for (pugi::xml_node object : node.children("object"))
            {
                const long long gid = reader.integer(object, "gid", -1);
                if (gid < 0 || gid > UINT32_MAX)
                    refuse(reader.where(object), "an object that is not a tile");
                map.objects.push_back({reader.where(object), static_cast<std::uint32_t>(gid),
                                       reader.number(object, "x"), reader.number(object, "y")});
            }
        }
    }
}

void readXmlMap(std::string_view text, int side, const TilesetReader& readTileset, MapData& map)
{
    XmlReader reader(text, "");
    pugi::xml_document document;
    const pugi::xml_node root = reader.parse(document);
    if (std::string_view(root.name()) != "map")
        refuse(reader.where(root), "not a Tiled map (no map element)");
    checkShape(reader.where(root), root.attribute("orientation").value(), reader.integer(root, "width", 0),
               reader.integer(root, "height", 0), reader.integer(root, "tilewidth", 0),
               reader.integer(root, "tileheight", 0), reader.integer(root, "infinite", 0) != 0, side);
    map.properties = reader.properties(root);
    for (pugi::xml_node tileset : root.children("tileset"))
    {
        TilesetData set;
        const long long first = reader.integer(tileset, "firstgid", 0);
        if (first < 1 || first > UINT32_MAX)
            refuse(reader.where(tileset), "a tileset without a valid firstgid");
        set.firstGid = static_cast<std::uint64_t>(first);
        if (const pugi::xml_attribute source = tileset.attribute("source"))
            readExternalTileset(source.value(), readTileset, set, reader.where(tileset));
        else
        {
            set.name = tileset.attribute("name").value();
            readXmlTiles(reader, tileset, set);
        }
        map.tilesets.push_back(std::move(set));
    }
    readXmlLayers(reader, root, side, map);
}

// --- JSON ---

nlohmann::json parseJson(std::string_view text, const std::string& prefix)
{
    try
    {
        return nlohmann::json::parse(text.begin(), text.end());
    }
    catch (const nlohmann::json::parse_error& error)
    {
        // The library's message names the line and column: "... parse error at line 3, column 7: ...".
        const std::string what = error.what();
        const std::size_t at = what.find("at line");
        refuse(prefix.empty() ? std::string() : prefix.substr(0, prefix.size() - 2),
               "not JSON: " + (at == std::string::npos ? what : what.substr(at + 3)));
    }
}

const nlohmann::json& member(const nlohmann::json& node, const char* name, const std::string& path)
{
    static const nlohmann::json none;
    if (!node.is_object())
        refuse(path, "not a JSON object");
    const auto found = node.find(name);
    return found == node.end() ? none : *found;
}

long long jsonInteger(const nlohmann::json& node, const char* name, const std::string& path, long long absent)
{
    const nlohmann::json& value = member(node, name, path);
    if (value.is_null())
        return absent;
    if (value.is_number_integer())
        return value.is_number_unsigned() && value.get<std::uint64_t>() > INT64_MAX ? -1 : value.get<long long>();
    if (value.is_number_float() && std::floor(value.get<double>()) == value.get<double>() &&
        std::fabs(value.get<double>()) < 1e15)
        return static_cast<long long>(value.get<double>());
    if (value.is_boolean())
        return value.get<bool>() ? 1 : 0;
    refuse(path + "/" + name, "not a whole number");
}

std::string jsonString(const nlohmann::json& node, const char* name, const std::string& path)
{
    const nlohmann::json& value = member(node, name, path);
    if (value.is_null())
        return {};
    if (!value.is_string())
        refuse(path + "/" + name, "not a text");
    return value.get<std::string>();
}

const nlohmann::json& jsonArray(const nlohmann::json& node, const char* name, const std::string& path)
{
    static const nlohmann::json empty = nlohmann::json::array();
    const nlohmann::json& value = member(node, name, path);
    if (value.is_null())
        return empty;
    if (!value.is_array())
        refuse(path + "/" + name, "not a JSON array");
    return value;
}

std::map<std::string, long long> jsonProperties(const nlohmann::json& node, const std::string& path)
{
    std::map<std::string, long long> found;
    const nlohmann::json& list = jsonArray(node, "properties", path);
    for (std::size_t i = 0; i < list.size(); ++i)
    {
        const nlohmann::json& property = list[i];
        const std::string at = path + "/properties/" + std::to_string(i);
        const nlohmann::json& value = member(property, "value", at);
        std::optional<long long> number;
        if (value.is_number_integer() && !(value.is_number_unsigned() && value.get<std::uint64_t>() > INT64_MAX))
            number = value.get<long long>();
        else if (value.is_string())
            number = integerText(value.get<std::string>());
        if (number)
            found[jsonString(property, "name", at)] = *number;
    }
    return found;
}

void readJsonTileset(const nlohmann::json& node, const std::string& path, TilesetData& set)
{
    const nlohmann::json& tiles = jsonArray(node, "tiles", path);
    for (std::size_t i = 0; i < tiles.size(); ++i)
    {
        const std::string at = path + "/tiles/" + std::to_string(i);
        const long long id = jsonInteger(tiles[i], "id", at, -1);
        if (id < 0 || id > UINT32_MAX)
            refuse(at, "a tile without a valid id");
        set.tiles[static_cast<std::uint32_t>(id)].properties = jsonProperties(tiles[i], at);
    }
}

std::vector<std::uint32_t> readJsonData(const nlohmann::json& layer, const std::string& path, std::size_t count)
{
    const nlohmann::json& data = member(layer, "data", path);
    const std::string at = path + "/data";
    if (!member(layer, "chunks", path).is_null())
        refuse(path, "the layer is in chunks, as only an infinite map is");
    std::vector<std::uint32_t> ids;
    if (data.is_array())
    {
        if (data.size() != count)
            refuse(at, "the layer holds " + std::to_string(data.size()) + " tiles, not " + std::to_string(count));
        ids.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
        {
            if (!data[i].is_number_integer() || data[i].get<long long>() < 0 || data[i].get<long long>() > UINT32_MAX)
                refuse(at + "/" + std::to_string(i), "not a tile number");
            ids.push_back(static_cast<std::uint32_t>(data[i].get<long long>()));
        }
        return ids;
    }
    if (!data.is_string() || jsonString(layer, "encoding", path) != "base64")
        refuse(at, "neither an array of tiles nor base64 text");
    TiledEncoding kind = TiledEncoding::Base64;
    const std::string compression = jsonString(layer, "compression", path);
    if (!tiledCompression(compression, kind))
        refuse(path + "/compression", "unknown compression \"" + compression + "\"");
    std::string error;
    if (!decodeTileIds(data.get<std::string>(), kind, count, ids, error))
        refuse(at, error);
    return ids;
}

void readJsonLayers(const nlohmann::json& parent, const std::string& path, int side, MapData& map, int depth = 0)
{
    if (depth > MaxTiledGroupDepth)
        refuse(path, "groups nested more than " + std::to_string(MaxTiledGroupDepth) + " deep");
    const std::size_t count = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
    const nlohmann::json& layers = jsonArray(parent, "layers", path);
    for (std::size_t i = 0; i < layers.size(); ++i)
    {
        const std::string at = path + "/layers/" + std::to_string(i);
        const std::string kind = jsonString(layers[i], "type", at);
        const std::string name = jsonString(layers[i], "name", at);
        if (kind == "group")
            readJsonLayers(layers[i], at, side, map, depth + 1);
        else if (kind == "tilelayer")
        {
            if (!knownTileLayer(name))
                continue;
            if (jsonInteger(layers[i], "width", at, 0) != side || jsonInteger(layers[i], "height", at, 0) != side)
                refuse(at, "the layer \"" + name + "\" is not the size of the map");
            addTileLayer(map, name, {at, readJsonData(layers[i], at, count)});
        }
        else if (kind == "objectgroup" && name == "objects")
        {
            if (map.hasObjectLayer)
                refuse(at, "a second layer named \"objects\"");
            map.hasObjectLayer = true;
            const nlohmann::json& objects = jsonArray(layers[i], "objects", at);
            for (std::size_t j = 0; j < objects.size(); ++j)
            {
                const std::string object = at + "/objects/" + std::to_string(j);
                const long long gid = jsonInteger(objects[j], "gid", object, -1);
                if (gid < 0 || gid > UINT32_MAX)
                    refuse(object, "an object that is not a tile");
                double position[2] = {0, 0};
                const char* axes[2] = {"x", "y"};
                for (int axis = 0; axis < 2; ++axis)
                {
                    const nlohmann::json& value = member(objects[j], axes[axis], object);
                    if (!value.is_null() && !value.is_number())
                        refuse(object + "/" + axes[axis], "not a number");
                    position[axis] = value.is_null() ? 0.0 : value.get<double>();
                }
                map.objects.push_back({object, static_cast<std::uint32_t>(gid), position[0], position[1]});
            }
        }
    }
}

void readJsonMap(std::string_view text, int side, const TilesetReader& readTileset, MapData& map)
{
    const nlohmann::json root = parseJson(text, "");
    const std::string at = "at /";
    if (!root.is_object())
        refuse(at, "not a Tiled map (not a JSON object)");
    if (jsonString(root, "type", "at ") != "map")
        refuse("at /type", "not a Tiled map");
    checkShape(at, jsonString(root, "orientation", "at "), jsonInteger(root, "width", "at ", 0),
               jsonInteger(root, "height", "at ", 0), jsonInteger(root, "tilewidth", "at ", 0),
               jsonInteger(root, "tileheight", "at ", 0), jsonInteger(root, "infinite", "at ", 0) != 0, side);
    map.properties = jsonProperties(root, "at ");
    const nlohmann::json& tilesets = jsonArray(root, "tilesets", "at ");
    for (std::size_t i = 0; i < tilesets.size(); ++i)
    {
        const std::string path = "at /tilesets/" + std::to_string(i);
        TilesetData set;
        const long long first = jsonInteger(tilesets[i], "firstgid", path, 0);
        if (first < 1 || first > UINT32_MAX)
            refuse(path, "a tileset without a valid firstgid");
        set.firstGid = static_cast<std::uint64_t>(first);
        const std::string source = jsonString(tilesets[i], "source", path);
        if (!source.empty())
            readExternalTileset(source, readTileset, set, path);
        else
        {
            set.name = jsonString(tilesets[i], "name", path);
            readJsonTileset(tilesets[i], path, set);
        }
        map.tilesets.push_back(std::move(set));
    }
    readJsonLayers(root, "at ", side, map);
}

// --- From tiles to fields ---

// The tile of global id `gid` (flip bits cleared) and its tileset's name.
const Tile& tileOf(const MapData& map, std::uint32_t gid, const std::string& where, std::string& setName)
{
    const TilesetData* owner = nullptr;
    for (const TilesetData& set : map.tilesets)
        if (set.firstGid <= gid && (!owner || set.firstGid > owner->firstGid))
            owner = &set;
    if (!owner)
        refuse(where, "tile " + std::to_string(gid) + " belongs to no tileset");
    setName = owner->name;
    const auto found = owner->tiles.find(static_cast<std::uint32_t>(gid - owner->firstGid));
    if (found == owner->tiles.end())
    {
        static const Tile none;
        return none;
    }
    return found->second;
}

long long property(const Tile& tile, const char* name, const std::string& setName, std::uint32_t gid,
                   const std::string& where)
{
    const auto found = tile.properties.find(name);
    if (found == tile.properties.end())
        refuse(where, "tile " + std::to_string(gid) + " (of the tileset \"" + setName + "\") has no \"" + name +
                          "\" property");
    return found->second;
}

void resolve(const MapData& map, int side, const ContentCatalog& content, StoredMap& out)
{
    for (const char* required : {"under", "ground"})
        if (map.tileLayers.find(required) == map.tileLayers.end())
            refuse("", std::string("the map has no tile layer named \"") + required + "\"");
    const std::size_t count = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
    out.fields.assign(count, FieldValues());
    // Tiles repeat: each global id is looked up once.
    std::map<std::uint32_t, int> groundOf;
    for (const char* name : {"under", "ground"})
    {
        const TileLayerData& layer = map.tileLayers.at(name);
        for (std::size_t i = 0; i < count; ++i)
        {
            const int column = static_cast<int>(i % static_cast<std::size_t>(side));
            const int row = static_cast<int>(i / static_cast<std::size_t>(side));
            const std::uint32_t gid = layer.ids[i] & ~FlipBits;
            const auto field = [&] {
                return "the field at column " + std::to_string(column) + ", row " + std::to_string(row);
            };
            if (gid == 0)
                refuse(layer.where, field() + " has no tile");
            auto known = groundOf.find(gid);
            if (known == groundOf.end())
            {
                std::string setName;
                const Tile& tile = tileOf(map, gid, layer.where, setName);
                const long long type = property(tile, "ground", setName, gid, layer.where);
                if (type < INT_MIN || type > INT_MAX || !content.hasGroundType(static_cast<int>(type)))
                    refuse(layer.where, field() + " is of ground type " + std::to_string(type) +
                                            ", which has no field texture");
                known = groundOf.emplace(gid, static_cast<int>(type)).first;
            }
            FieldValues& values = out.fields[static_cast<std::size_t>(column * side + row)];
            (std::string_view(name) == "under" ? values.underType : values.groundType) = known->second;
        }
    }
    if (const auto solid = map.tileLayers.find("solid"); solid != map.tileLayers.end())
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            const std::size_t column = i % static_cast<std::size_t>(side), row = i / static_cast<std::size_t>(side);
            out.fields[column * static_cast<std::size_t>(side) + row].solid = (solid->second.ids[i] & ~FlipBits) != 0;
        }
    }
    for (const ObjectData& object : map.objects)
    {
        if (object.gid & FlipBits)
            refuse(object.where, "the object is flipped, and objects are drawn only as they are");
        std::string setName;
        const Tile& tile = tileOf(map, object.gid, object.where, setName);
        const long long id = property(tile, "object", setName, object.gid, object.where);
        if (id < 1 || id > INT_MAX || !content.hasObject(static_cast<int>(id)))
            refuse(object.where, "object " + std::to_string(id) + " has no definition");
        const auto offset = [&](const char* name) {
            const auto found = tile.properties.find(name);
            return found == tile.properties.end() ? 0.0 : static_cast<double>(found->second);
        };
        const double column = std::floor((object.x + offset("fieldx")) / FieldSize);
        const double row = std::floor((object.y + offset("fieldy")) / FieldSize);
        if (!(column >= 0 && column < side && row >= 0 && row < side))
            refuse(object.where, "object " + std::to_string(id) + " stands off the map");
        FieldValues& field = out.fields[static_cast<std::size_t>(column) * static_cast<std::size_t>(side) +
                                        static_cast<std::size_t>(row)];
        if (field.objectId != 0)
            refuse(object.where, "object " + std::to_string(id) + " stands on the field at column " +
                                     std::to_string(static_cast<int>(column)) + ", row " +
                                     std::to_string(static_cast<int>(row)) + ", which has object " +
                                     std::to_string(field.objectId) + " already");
        field.objectId = static_cast<int>(id);
    }
    for (auto [name, origin] : {std::pair{"originX", &out.originX}, std::pair{"originY", &out.originY}})
    {
        const auto found = map.properties.find(name);
        const long long value = found == map.properties.end() ? 0 : found->second;
        if (value <= -MaxMapOrigin || value >= MaxMapOrigin)
            refuse("", std::string("the map property ") + name + " is " + std::to_string(value) +
                           ", farther than any map can be walked");
        *origin = static_cast<int>(value);
    }
}
} // namespace

bool parseTiledMap(std::string_view text, TiledForm form, int side, const ContentCatalog& content,
                   const TilesetReader& readTileset, StoredMap& out, std::string& error)
{
    try
    {
        MapData map;
        if (form == TiledForm::Xml)
            readXmlMap(text, side, readTileset, map);
        else
            readJsonMap(text, side, readTileset, map);
        resolve(map, side, content, out);
        return true;
    }
    catch (const Refusal& refusal)
    {
        error = refusal.text;
    }
    catch (const std::bad_alloc&)
    {
        error = "not enough memory to read the map";
    }
    catch (const std::exception& failure)
    {
        error = failure.what();
    }
    return false;
}

bool readTiledMap(const std::string& path, const ContentCatalog& content, StoredMap& out, std::string& error)
{
    std::string text;
    const ReadResult read = readRegularFile(path, MaxTiledFileBytes, text);
    if (!read)
    {
        error = read.status == ReadResult::Status::Missing ? path + ": there is no such file" : read.reason;
        return false;
    }
    TiledForm form = TiledForm::Xml;
    if (!isTiledMapPath(path, &form))
    {
        const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
        form = first != std::string::npos && text[first] == '{' ? TiledForm::Json : TiledForm::Xml;
    }
    const std::filesystem::path folder = std::filesystem::u8path(path).parent_path();
    const TilesetReader readTileset = [&folder](const std::string& source, std::string& bytes, std::string& why) {
        const ReadResult tileset =
            readRegularFile((folder / std::filesystem::u8path(source)).u8string(), MaxTiledFileBytes, bytes);
        why = tileset.status == ReadResult::Status::Missing ? "there is no such file" : tileset.reason;
        return static_cast<bool>(tileset);
    };
    if (!parseTiledMap(text, form, MapSize, content, readTileset, out, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}
