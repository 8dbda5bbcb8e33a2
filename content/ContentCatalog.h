#pragma once

// Which ground types and objects a content set has: what a map file may name.
// The content store answers from what it loaded; a plain description answers
// the same questions without loading anything (no textures, no display), for
// checks that only need the numbers.
class ContentCatalog
{
public:
    // Whether ground type `type` has a loaded field texture.
    virtual bool hasGroundType(int type) const = 0;
    // Whether object `id` has a loaded definition (0, no object, included).
    virtual bool hasObject(int id) const = 0;

protected:
    ~ContentCatalog() = default;
};

// Content given by its counts: ground types 0..groundTypes-1 and objects
// 0..objects-1, as an unbroken numbered set of each.
class ContentDescription final : public ContentCatalog
{
public:
    ContentDescription(int groundTypes, int objects) : groundTypes(groundTypes), objects(objects) {}

    bool hasGroundType(int type) const override { return type >= 0 && type < groundTypes; }
    bool hasObject(int id) const override { return id >= 0 && id < objects; }

private:
    int groundTypes;
    int objects;
};
