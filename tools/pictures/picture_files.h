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

// panel.bmp, keys/key_175.bmp .. keys/key_224.bmp, quorvex.ico and pictures.rc, in that order.
std::vector<PictureFile> MakePictureFiles();

// Failures of WritePictures.
enum WriteFailure : unsigned { WriteOk = 0, CannotMakeFolder = 1, CannotWriteFile = 2 };

// Writes every file under the folder (made if missing); on failure names the path that failed.
unsigned WriteFiles(const std::string& folder, const std::vector<PictureFile>& files, std::string& failedPath);
// WriteFiles of MakePictureFiles.
unsigned WritePictures(const std::string& folder, std::string& failedPath);

}  // namespace pictures
