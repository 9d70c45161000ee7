// From pictures to files: bitmap ids to names, the resource script lines, and writing them out.
#include "tools/pictures/picture_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/dpi_scale.h"

#include "tools/pictures/bmp_file.h"
#include "tools/pictures/icon_file.h"
#include "tools/pictures/panel_art.h"

namespace pictures {
namespace {

// Set 0 sits in res/ itself, set k in x<percent>/; every file is named by its resource id.
std::string SetFolder(int32_t set) { return set == 0 ? "" : "x" + std::to_string(dpi::ArtPercents[set]) + "/"; }

std::string PanelFileName(int32_t set) { return SetFolder(set) + "panel.bmp"; }

std::string KeyFileName(int32_t set, int32_t bitmapId100) {
    char name[32];
    std::snprintf(name, sizeof name, "keys/key_%03d.bmp", static_cast<int>(dpi::ArtBitmapId(bitmapId100, set)));
    return SetFolder(set) + name;
}

std::vector<uint8_t> ResourceScript() {
    char line[160];
    std::snprintf(line, sizeof line,
                  "// Panel and key pictures (bitmap %d, keys %d..%d; each further scaling's set %d ids on),"
                  " written by scripts/pictures.\n",
                  static_cast<int>(PanelBitmapId), static_cast<int>(FirstKeyId - NormalBitmapOffset),
                  static_cast<int>(FirstKeyId + KeyCount - 1 - PressedBitmapOffset),
                  static_cast<int>(dpi::ArtBitmapId(0, 1)));
    std::string text = line;
    for (int32_t set = 0; set < dpi::ArtSetCount; ++set) {
        std::snprintf(line, sizeof line, "%d BITMAP \"%s\"\n", static_cast<int>(dpi::ArtBitmapId(PanelBitmapId, set)),
                      PanelFileName(set).c_str());
        text += line;
        for (int32_t id = FirstKeyId - NormalBitmapOffset; id < FirstKeyId + KeyCount - PressedBitmapOffset; ++id) {
            std::snprintf(line, sizeof line, "%d BITMAP \"%s\"\n", static_cast<int>(dpi::ArtBitmapId(id, set)),
                          KeyFileName(set, id).c_str());
            text += line;
        }
    }
    return {text.begin(), text.end()};
}

}  // namespace

std::vector<PictureFile> MakeSetFiles(int32_t set) {
    const Pictures p = MakePictures(dpi::ArtSetDpi(set));
    const Palette& palette = SharedPalette();
    std::vector<PictureFile> files;
    files.push_back({PanelFileName(set), EncodeBmp(p.panel, palette)});
    for (int i = 0; i < KeyCount; ++i)
        files.push_back({KeyFileName(set, Keys[i].id - NormalBitmapOffset), EncodeBmp(p.normal[i], palette)});
    for (int i = 0; i < KeyCount; ++i)
        files.push_back({KeyFileName(set, Keys[i].id - PressedBitmapOffset), EncodeBmp(p.pressed[i], palette)});
    return files;
}

std::vector<PictureFile> MakePictureFiles() {
    std::vector<PictureFile> files;
    for (int32_t set = 0; set < dpi::ArtSetCount; ++set) {
        std::vector<PictureFile> one = MakeSetFiles(set);
        files.insert(files.end(), std::make_move_iterator(one.begin()), std::make_move_iterator(one.end()));
    }
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
