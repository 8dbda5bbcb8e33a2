#pragma once

#include <string>

// Where the game's content was found.
enum class ContentSource
{
    Given,            // --content
    WorkingDirectory, // the working directory holds it
    Installed,        // installed beside the executable (share/quillora)
    NotFound,
};

struct ContentLocation
{
    ContentSource source = ContentSource::NotFound;
    std::string folder;  // the content root to load; "." for the working directory
    std::string problem; // NotFound: what was looked for where, for the player
};

// Finds the content: `given` (--content) when not empty, which must hold it;
// else the working directory `workingDir` when it holds it; else
// `installedDir` (empty: no installed game) when that holds it; else NotFound,
// with a problem naming every place looked at. A folder holds the content when
// it has the first ground texture (content/GameData.h's holdsContent).
ContentLocation locateContent(const std::string& given, const std::string& workingDir, const std::string& installedDir);

// The folder for screenshots and exported pictures, subfolder "Quillora" of
// the pictures folder, when the game runs as a desktop menu starts it: the
// content comes from the installation and the working directory is the home
// folder (the same folder on the disk, however each is written). Otherwise
// empty: pictures go into the working directory, as they always have.
std::string desktopPictureFolder(ContentSource source, const std::string& workingDir, const std::string& home,
                                 const std::string& pictures);
