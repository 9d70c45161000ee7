// quorvex-pictures: writes the panel picture, the key pictures, the icon and their resource lines into a folder.
#include <cstdio>
#include <string>

#include "tools/pictures/picture_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESOURCE-FOLDER\n", argv[0]);
        return 2;
    }
    std::string failed;
    const unsigned result = pictures::WritePictures(argv[1], failed);
    if (result == pictures::CannotMakeFolder) std::fprintf(stderr, "cannot make the folder %s\n", failed.c_str());
    if (result == pictures::CannotWriteFile) std::fprintf(stderr, "cannot write %s\n", failed.c_str());
    return result == pictures::WriteOk ? 0 : 1;
}
