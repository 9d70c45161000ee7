// From pictures to files: bitmap ids to names, the resource script lines, and writing them out.
#include "tools/pictures/picture_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/pictures/bmp_file.h"
#include "tools/pictures/icon_file.h"
#include "tools/pictures/panel_art.h"

namespace pictures {
namespace {

std::string KeyFileName(int32_t bitmapId) {
    char name[32];
    std::snprintf(name, sizeof name, "keys/key_%03d.bmp", static_cast<int>(bitmapId));
    return name;
}

std::vector<uint8_t> ResourceScript() {
    std::string text = "// Panel and key pictures (bitmap 174, keys 175..224), written by scripts/pictures.\n";
    char line[64];
    std::snprintf(line, sizeof line, "%d BITMAP \"panel.bmp\"\n", static_cast<int>(PanelBitmapId));
    text += line;
    for (int32_t id = FirstKeyId - NormalBitmapOffset; id < FirstKeyId + KeyCount - PressedBitmapOffset; ++id) {
        std::snprintf(line, sizeof line, "%d BITMAP \"%s\"\n", static_cast<int>(id), KeyFileName(id).c_str());
        text += line;
    }
    return {text.begin(), text.end()};
}

}  // namespace

std::vector<PictureFile> MakePictureFiles() {
    const Pictures p = MakePictures();
    const Palette& palette = SharedPalette();
    std::vector<PictureFile> files;
    files.push_back({"panel.bmp", EncodeBmp(p.panel, palette)});
    for (int i = 0; i < KeyCount; ++i)
        files.push_back({KeyFileName(Keys[i].id - NormalBitmapOffset), EncodeBmp(p.normal[i], palette)});
    for (int i = 0; i < KeyCount; ++i)
        files.push_back({KeyFileName(Keys[i].id - PressedBitmapOffset), EncodeBmp(p.pressed[i], palette)});
    files.push_back({"quorvex.ico", EncodeIcon()});
    files.push_back({"pictures.rc", ResourceScript()});
    return files;
}

unsigned WriteFiles(const std::string& folder, const std::vector<PictureFile>& files, std::string& failedPath) {
    const std::filesystem::path root(folder);
    for (const PictureFile& f : files) {
        const std::filesystem::path path = root / f.path;
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec) {
            failedPath = path.parent_path().string();
            return CannotMakeFolder;
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(f.bytes.data()), static_cast<std::streamsize>(f.bytes.size()));
        out.close();
        if (!out) {
            failedPath = path.string();
            return CannotWriteFile;
        }
    }
    return WriteOk;
}

unsigned WritePictures(const std::string& folder, std::string& failedPath) {
    return WriteFiles(folder, MakePictureFiles(), failedPath);
}

}  // namespace pictures
