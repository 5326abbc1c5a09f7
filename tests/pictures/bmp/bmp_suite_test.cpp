// TBitmap::LoadFromStream over the BMP suite: good files show the picture of
// the plain file they recode, bad ones fail with the reader's messages or
// load defensively, and nothing fails any other way.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bmp_test_support.h"
#include "pictures/bmp/bmp_read_header.h"

using namespace bmptest;

namespace {

std::vector<uint32_t> SuitePixels(const std::string& name) {
    TBitmap bitmap;
    LoadBytes(bitmap, ReadFileBytes(SuitePath(name)));
    return Pixels(bitmap);
}

TEST(BmpSuite, EveryCodingShowsThePictureOfItsPlainOriginal) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> groups = {
        {"g/rgb24.bmp",
         {"g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/rgb32bfdef.bmp", "q/rgb32-xbgr.bmp", "q/rgb32h52.bmp"}},
        {"g/pal8.bmp",
         {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp", "g/pal8v4.bmp", "g/pal8v5.bmp",
          "q/pal8offs.bmp"}},
        {"g/pal4.bmp", {"g/pal4rle.bmp"}},
        {"g/pal1.bmp", {"g/pal1wb.bmp"}},
        {"g/rgb16.bmp", {"g/rgb16bfdef.bmp", "q/rgba16-5551.bmp"}},
        {"g/rgb16-565.bmp", {"g/rgb16-565pal.bmp"}},
    };
    for (const auto& [original, codings] : groups) {
        const std::vector<uint32_t> want = SuitePixels(original);
        ASSERT_EQ(want.size(), 127u * 64u) << original;
        for (const char* coding : codings) EXPECT_EQ(SuitePixels(coding), want) << coding;
    }
    // 5- and 6-bit channels widen to within a step of the 24-bit original.
    const std::vector<uint32_t> want = SuitePixels("g/rgb24.bmp");
    for (const char* name : {"g/rgb16.bmp", "g/rgb16-565.bmp"}) {
        const std::vector<uint32_t> have = SuitePixels(name);
        ASSERT_EQ(have.size(), want.size()) << name;
        int worst = 0;
        for (size_t i = 0; i < have.size(); ++i)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int((have[i] >> shift) & 0xFF) - int((want[i] >> shift) & 0xFF)));
        EXPECT_LE(worst, 4) << name;
    }
}

TEST(BmpSuite, RunLengthAndTopDownFilesKeepWhatTheyNeed) {
    for (const char* name : {"g/pal8rle.bmp", "g/pal4rle.bmp"}) {
        const std::vector<uint8_t> file = ReadFileBytes(SuitePath(name));
        TBitmap bitmap;
        LoadBytes(bitmap, file);
        EXPECT_EQ(bitmap.PixelFormat(), pfDevice) << name;
        ASSERT_TRUE(bitmap.Image().FSaveStream) << name;
        EXPECT_EQ(bitmap.Image().FSaveStream->Data(), file) << name;
    }
    TBitmap topDown;
    topDown.LoadFromFile(SuitePath("g/pal8topdown.bmp"));
    EXPECT_EQ(topDown.Image().FDIB.Header.biHeight, -64);
}

// The pixel block of an uncompressed file is the file's bytes from its
// pixel offset on, byte for byte: rows, padding, gaps and longer headers.
TEST(BmpSuite, UncompressedPixelBlocksAreTheFilesBytes) {
    for (const char* name :
         {"g/pal1.bmp", "g/pal4.bmp", "g/pal8os2.bmp", "g/pal8v5.bmp", "g/pal8w125.bmp", "g/rgb16-565.bmp",
          "g/rgb24.bmp", "g/rgb32bf.bmp", "q/pal8offs.bmp", "q/rgba32-1.bmp", "q/rgba16-4444.bmp"}) {
        const std::vector<uint8_t> file = ReadFileBytes(SuitePath(name));
        TBitmap bitmap;
        LoadBytes(bitmap, file);
        const gdi::DibSection& dib = bitmap.Image().FDIB;
        BmpFileHeader header;
        std::memcpy(&header, file.data(), sizeof header);
        const size_t blockBytes = static_cast<size_t>(dib.WidthBytes) * dib.Height;
        ASSERT_TRUE(dib.Bits && file.size() - header.PixelOffset == blockBytes) << name;
        EXPECT_EQ(std::memcmp(dib.Bits, file.data() + header.PixelOffset, blockBytes), 0) << name;
    }
}

TEST(BmpSuite, BadFilesFailWithTheReadersMessagesOrLoadDefensively) {
    const std::string invalidParameter = "EOSError: System Error.  Code: 87.\r\nThe parameter is incorrect.";
    const std::string notValid = "EInvalidGraphic: Bitmap image is not valid";
    const std::pair<const char*, std::string> files[] = {
        {"b/badbitcount.bmp", invalidParameter},
        {"b/badwidth.bmp", invalidParameter},
        {"b/rgb16-880.bmp", invalidParameter},
        {"b/rletopdown.bmp", invalidParameter},
        {"b/badpalettesize.bmp", notValid},
        {"b/badplanes.bmp", notValid},
        {"x/ba-bm.bmp", notValid},
        {"b/reallybig.bmp",
         "EOSError: System Error.  Code: 8.\r\nNot enough memory resources are available to process this command."},
        // Fields the reader does not consult, a header read as declared,
        // runs clipped at the picture's edge, missing pixels left zero:
        {"b/badbitssize.bmp", NothingRaised},
        {"b/baddens1.bmp", NothingRaised},
        {"b/badfilesize.bmp", NothingRaised},
        {"b/badheadersize.bmp", NothingRaised},
        {"b/badrle.bmp", NothingRaised},
        {"b/badrle4bis.bmp", NothingRaised},
        {"b/pal8badindex.bmp", NothingRaised},
        {"b/shortfile.bmp", NothingRaised},
    };
    for (const auto& [name, want] : files) EXPECT_EQ(LoadError(ReadFileBytes(SuitePath(name))), want) << name;
}

bool IsReadersOutcome(const std::string& error) {
    return error == NothingRaised || error == "EReadError: Stream read error" ||
           error == "EInvalidGraphic: Bitmap image is not valid" ||
           error.rfind("EOSError: System Error.  Code: ", 0) == 0;
}

// Good files load whole; cut short anywhere, and like every questionable or
// bad file, they load or fail with the reader's messages. Under the
// sanitizer build nothing reads or writes outside its buffers.
TEST(BmpSuite, EveryFileLoadsOrFailsCleanly) {
    for (const char* folder : {"g", "q", "b"})
        for (const auto& entry : std::filesystem::directory_iterator(SuitePath(folder))) {
            const std::vector<uint8_t> file = ReadFileBytes(entry.path().string());
            const std::string error = LoadError(file);
            EXPECT_TRUE(folder[0] == 'g' ? error == NothingRaised : IsReadersOutcome(error)) << entry.path() << error;
            if (folder[0] != 'g') continue;
            for (size_t length : {size_t{1}, size_t{17}, size_t{30}, size_t{53}, size_t{60}, size_t{300},
                                  file.size() / 2, file.size() - 1}) {
                const std::string cutError = LoadError({file.begin(), file.begin() + std::min(length, file.size())});
                EXPECT_TRUE(IsReadersOutcome(cutError)) << entry.path() << " cut at " << length << ": " << cutError;
            }
        }
}

}  // namespace
