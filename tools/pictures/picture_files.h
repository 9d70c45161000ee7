// The generator's output files, named relative to the resource folder, and their writing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pictures {

struct PictureFile {
    std::string path;  // relative to res/, with '/'
    std::vector<uint8_t> bytes;
};

// One scaling's pictures (set k of dpi::ArtPercents) drawn at its DPI: the panel, then the keys
// up, then down. Set 0 is panel.bmp, keys/key_175.bmp .. keys/key_224.bmp; set k lies in
// x<percent>/ with its files named by their ids, e.g. x125/panel.bmp, x125/keys/key_1175.bmp.
std::vector<PictureFile> MakeSetFiles(int32_t set);
// Every set from 100 to 200 %, then quorvex.ico and pictures.rc (a line per bitmap of every set).
std::vector<PictureFile> MakePictureFiles();

// Failures of WritePictures.
enum WriteFailure : unsigned { WriteOk = 0, CannotMakeFolder = 1, CannotWriteFile = 2 };

// Writes every file under the folder (made if missing); on failure names the path that failed.
unsigned WriteFiles(const std::string& folder, const std::vector<PictureFile>& files, std::string& failedPath);
// WriteFiles of MakePictureFiles.
unsigned WritePictures(const std::string& folder, std::string& failedPath);

}  // namespace pictures
