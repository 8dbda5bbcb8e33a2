#include "app/GameFolders.h"

#include "content/GameData.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

ContentLocation locateContent(const std::string& given, const std::string& workingDir, const std::string& installedDir)
{
    const std::string marker = std::string(FieldTexturePrefix).substr(1) + "0.png";
    if (!given.empty())
    {
        if (holdsContent(given))
            return {ContentSource::Given, given, {}};
        return {ContentSource::NotFound, {},
                "no game content in " + given + " (given with --content): " + given + "/" + marker + " is missing"};
    }
    // The working directory stays "." so the content's console lines read as they always have.
    if (holdsContent(workingDir))
        return {ContentSource::WorkingDirectory, ".", {}};
    if (!installedDir.empty() && holdsContent(installedDir))
        return {ContentSource::Installed, installedDir, {}};
    std::string problem = "no game content found. Looked for " + marker + " in the working directory " + workingDir;
    if (!installedDir.empty())
        problem += " and in the installed content " + installedDir;
    return {ContentSource::NotFound, {}, problem + ". Give the content folder with --content DIR."};
}

std::string desktopPictureFolder(ContentSource source, const std::string& workingDir, const std::string& home,
                                 const std::string& pictures)
{
    if (source != ContentSource::Installed || home.empty() || pictures.empty())
        return {};
    std::error_code error;
    if (!fs::equivalent(fs::u8path(workingDir), fs::u8path(home), error))
        return {};
    return (fs::u8path(pictures) / "Quillora").u8string();
}
