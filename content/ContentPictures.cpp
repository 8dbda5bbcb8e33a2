#include "content/ContentPictures.h"

#include "content/GameData.h"

#include <ostream>

namespace
{
template <typename T>
const T* slot(const std::vector<std::unique_ptr<T>>& table, int number)
{
    if (number < 0 || static_cast<std::size_t>(number) >= table.size())
        return nullptr;
    return table[static_cast<std::size_t>(number)].get();
}
} // namespace

std::vector<std::unique_ptr<sf::Image>> ContentPictures::takeSet(DecodedImages& decoded, const std::string& root,
                                                                 const char* prefix, int count)
{
    std::vector<std::unique_ptr<sf::Image>> set;
    const bool untilMissing = count < 0;
    walkNumberedSet(root, prefix, TextureExtension, [&](const std::string& path, int number, ReadResult&) {
        if (!untilMissing && number >= count)
            return false;
        auto image = std::make_unique<sf::Image>();
        const bool found = decoded.take(path, *image);
        if (!found && untilMissing)
            return false;
        set.push_back(found ? std::move(image) : nullptr);
        return true;
    });
    return set;
}

ContentPictures::ContentPictures(const std::string& root, std::ostream* errors)
{
    DecodedImages decoded = GameData::decodeImages(root, MaxContentImageBytes, errors);
    sheets = takeSet(decoded, root, FieldTexturePrefix, -1);
    pictures = takeSet(decoded, root, ObjectTexturePrefix, -1);
    // A definition is read without its texture: the picture's piece and
    // origin follow from the definition alone.
    walkNumberedSet(root, ObjectDefinitionPrefix, ObjectDefinitionExtension,
                    [this, errors](const std::string& path, int number, ReadResult& result) {
                        std::unique_ptr<ObjectType> definition = readObjectDefinition(path, number, nullptr, result);
                        if (definition)
                            definitions.push_back(std::move(definition));
                        else if (errors && result.status == ReadResult::Status::Failed)
                            *errors << ContentRefusedPrefix << result.reason << std::endl;
                        return result.status == ReadResult::Status::Complete;
                    });
}

ContentPictures::ContentPictures(const GameData& store, const std::string& root, DecodedImages&& decoded)
{
    sheets = takeSet(decoded, root, FieldTexturePrefix, store.groundTypeCount());
    int objects = 0;
    while (store.objectTexture(objects))
        ++objects;
    pictures = takeSet(decoded, root, ObjectTexturePrefix, objects);
    for (int id = 0; id < store.objectCount(); ++id)
        definitions.push_back(std::make_unique<ObjectType>(*store.object(id)));
    // An empty sheet stands for a ground type whose picture was not decoded
    // ahead: it draws as nothing, and every sheet slot holds a picture.
    for (std::unique_ptr<sf::Image>& sheet : sheets)
        if (!sheet)
            sheet = std::make_unique<sf::Image>();
}

const sf::Image* ContentPictures::groundSheet(int type) const
{
    return slot(sheets, type);
}

const sf::Image* ContentPictures::objectPicture(int id) const
{
    return slot(pictures, id);
}

const ObjectType* ContentPictures::object(int id) const
{
    return slot(definitions, id);
}
