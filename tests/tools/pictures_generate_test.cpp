// Regenerating the pictures gives exactly the committed files, so the build never needs the generator;
// the guide's pictures take their text from the resource script and refuse what they cannot draw.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/dpi_scale.h"
#include "tests/tools/pictures_bmp_reader.h"
#include "tools/pictures/guide_pictures.h"
#include "tools/pictures/picture_files.h"

namespace {

namespace fs = std::filesystem;

TEST(PicturesGenerate, WrittenFilesEqualTheCommittedOnesByteForByte) {
    const fs::path scratch = fs::path(QUORVEX_TEST_SCRATCH) / "pictures";
    fs::remove_all(scratch);
    std::string failed;
    ASSERT_EQ(pictures::WritePictures(scratch.string(), failed), pictures::WriteOk) << failed;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(scratch)) {
        if (!entry.is_regular_file()) continue;
        const fs::path relative = fs::relative(entry.path(), scratch);
        const auto made = pictures_test::ReadBytes(entry.path().string());
        const auto committed = pictures_test::ReadBytes((fs::path(QUORVEX_RES_DIR) / relative).string());
        EXPECT_FALSE(made.empty()) << relative;
        EXPECT_TRUE(made == committed) << relative << " differs from res/; run scripts/pictures and commit";
        ++files;
    }
    EXPECT_EQ(files, dpi::ArtSetCount * (1 + 50) + 1 + 1);
    fs::remove_all(scratch);
}

// Nothing of one set's drawing stays behind for the next: drawn in another order, in one process,
// the sets are still the committed bytes.
TEST(PicturesGenerate, SetsDrawnInAnotherOrderGiveTheCommittedBytes) {
    for (const int set : {1, 0}) {
        const auto files = pictures::MakeSetFiles(set);
        EXPECT_EQ(files.size(), 51u) << set;
        for (const auto& f : files)
            EXPECT_TRUE(f.bytes == pictures_test::ReadBytes((fs::path(QUORVEX_RES_DIR) / f.path).string())) << f.path;
    }
}

TEST(PicturesGenerate, UnwritableFolderIsReportedWithItsPath) {
    const fs::path scratch = fs::path(QUORVEX_TEST_SCRATCH) / "blocked";
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    {
        std::ofstream(scratch / "keys") << "a file where the folder should be";
    }
    std::string failed;
    EXPECT_EQ(pictures::WriteFiles(scratch.string(), {{"keys/key_175.bmp", {'B', 'M'}}}, failed),
              pictures::CannotMakeFolder);
    EXPECT_EQ(failed, (scratch / "keys").string());
    fs::remove_all(scratch);
}

TEST(PicturesGuide, TheResourceTextIsTheEntryOfExactlyThatId) {
    const std::string script = "STRINGTABLE\nBEGIN\n    162211 \"longer id\"\n\t62211 \"Stalled %d\"\n    6221 \"shorter\"\nEND";
    const struct {
        unsigned id;
        const char* text;
    } rows[] = {{62211, "Stalled %d"}, {6221, "shorter"}, {162211, "longer id"}, {2211, ""}, {62212, ""}};
    for (const auto& r : rows) EXPECT_EQ(pictures::ResourceText(script, r.id), r.text) << r.id;
    EXPECT_EQ(pictures::ResourceText("62211 \"no closing quote", 62211), "");
}

TEST(PicturesGuide, ATextWithoutGlyphsOrNoTextMakesNoPictures) {
    EXPECT_TRUE(pictures::MakeGuidePictures("").empty());
    EXPECT_TRUE(pictures::MakeGuidePictures("Stalled: %d commands {waiting}").empty());
}

}  // namespace
