// quorvex-pictures: writes the panel and key pictures at every scaling, the icon and their resource
// lines into a folder, or with --guide the operator's guide's pictures, their texts taken from the
// resource script.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "support/text_ids.h"
#include "tools/pictures/guide_pictures.h"
#include "tools/pictures/picture_files.h"

int main(int argc, char** argv) {
    const bool guide = argc == 4 && std::strcmp(argv[1], "--guide") == 0;
    if (argc != 2 && !guide) {
        std::fprintf(stderr, "usage: %s RESOURCE-FOLDER\n       %s --guide FOLDER RESOURCE-SCRIPT\n", argv[0], argv[0]);
        return 2;
    }
    std::string failed;
    unsigned result;
    if (guide) {
        std::ifstream in(argv[3], std::ios::binary);
        std::ostringstream script;
        script << in.rdbuf();
        const std::string stall = pictures::ResourceText(script.str(), text_id::ControlNotReading);
        const std::vector<pictures::PictureFile> files = pictures::MakeGuidePictures(stall);
        if (files.empty()) {
            std::fprintf(stderr, "%s: no stall text, or a text the legend font cannot draw\n", argv[3]);
            return 1;
        }
        result = pictures::WriteFiles(argv[2], files, failed);
    } else {
        result = pictures::WritePictures(argv[1], failed);
    }
    if (result == pictures::CannotMakeFolder) std::fprintf(stderr, "cannot make the folder %s\n", failed.c_str());
    if (result == pictures::CannotWriteFile) std::fprintf(stderr, "cannot write %s\n", failed.c_str());
    return result == pictures::WriteOk ? 0 : 1;
}
