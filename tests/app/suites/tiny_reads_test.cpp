// Every file of the public suites reads the same through a stream that hands
// out 1 to 7 bytes a call as through one that hands out all it is asked for:
// the same pixels, or the same failure.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/source_loading.h"
#include "suite_pixels.h"
#include "tests/support/file_bytes.h"
#include "tests/support/raised_message.h"

using namespace suites;

namespace {

// A memory stream whose reads return at most 1, 2, ... 7, 1, 2, ... bytes.
class TTinyReadStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    size_t Read(void* buffer, size_t count) override {
        const size_t window = FNext % 7 + 1;
        ++FNext;
        return TMemoryStream::Read(buffer, std::min(count, window));
    }
    int Reads() const { return FNext; }

private:
    int FNext = 0;
};

struct TOutcome {
    std::string Failure = NothingRaised;
    TPixels Pixels;
};

template <typename TStreamClass>
TOutcome Outcome(const std::string& path, int* reads = nullptr) {
    TOutcome outcome;
    TStreamClass stream(ReadFileBytes(path));
    std::unique_ptr<TGraphic> picture = NewPictureForExtension(LowerCaseExtension(path));
    outcome.Failure =
        MessageOf([&] { outcome.Pixels = DecodeFromStream(*picture, stream); }, TMessageForm::WithClassName);
    if constexpr (std::is_same_v<TStreamClass, TTinyReadStream>)
        if (reads) *reads = stream.Reads();
    return outcome;
}

struct TSuite {
    const char* Name;
    const char* Folder;     // under the test pictures, searched recursively
    const char* Extension;  // of the files to read
};

void PrintTo(const TSuite& suite, std::ostream* out) { *out << suite.Folder; }

class TinyReads : public testing::TestWithParam<TSuite> {};

TEST_P(TinyReads, DecodeLikeWholeReads) {
    const TSuite& suite = GetParam();
    int files = 0, decoded = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TestImage(suite.Folder))) {
        if (entry.path().extension() != suite.Extension) continue;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        ++files;
        const TOutcome whole = Outcome<TMemoryStream>(path);
        int reads = 0;
        const TOutcome tiny = Outcome<TTinyReadStream>(path, &reads);
        EXPECT_EQ(tiny.Failure, whole.Failure);
        EXPECT_EQ(tiny.Pixels.Width, whole.Pixels.Width);
        EXPECT_EQ(tiny.Pixels.Height, whole.Pixels.Height);
        EXPECT_TRUE(tiny.Pixels.Argb == whole.Pixels.Argb);
        // The window was really narrow: more reads than 7-byte steps cover.
        if (whole.Failure == NothingRaised) {
            ++decoded;
            EXPECT_GE(reads, static_cast<int>(std::filesystem::file_size(entry.path()) / 7));
        }
    }
    EXPECT_GT(files, 0);
    EXPECT_GT(decoded, 0);
}

INSTANTIATE_TEST_SUITE_P(Suites, TinyReads,
                         testing::Values(TSuite{"Png", "pngsuite", ".png"}, TSuite{"Gif", "gif", ".gif"},
                                         TSuite{"Bmp", "bmpsuite", ".bmp"}, TSuite{"Jpeg", "jpeg", ".jpeg"},
                                         TSuite{"Jpg", "jpeg", ".jpg"}, TSuite{"Tiff", "tiff", ".tiff"},
                                         TSuite{"Tif", "tiff", ".tif"}),
                         [](const testing::TestParamInfo<TSuite>& info) { return std::string(info.param.Name); });

}  // namespace
