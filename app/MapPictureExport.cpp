#include "app/MapPictureExport.h"

#include <ostream>

int exportMapPicture(const std::string& contentRoot, const std::string& mapFile, const std::string& pictureFile,
                     std::ostream& out, std::ostream& err)
{
    (void)contentRoot;
    (void)out;
    err << "quillora: cannot draw " << mapFile << " into " << pictureFile
        << ": the picture export is not available in this version" << std::endl;
    return 1;
}
