// Reading GIF files into their parts: crafted files, one rule each, and the
// public suites.

#include "pictures/gif/gif_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "gif_test_support.h"
#include "pictures/gif/gif_errors.h"
#include "tests/support/raised_message.h"

using giftest::CodeWriter;
using giftest::GifBuilder;
using Bytes = std::vector<uint8_t>;

namespace {

gif::TGIFData Load(const Bytes& bytes) {
    TMemoryStream stream(bytes);
    return gif::LoadGIF(stream);
}

// "ClassName: message" of the failure, or "loads".
std::string Outcome(const Bytes& bytes) {
    const std::string message = MessageOf([&] { Load(bytes); }, TMessageForm::WithClassName);
    return message == NothingRaised ? "loads" : message;
}

// A 2 × 2 screen with a 4-entry global table, ready for blocks.
GifBuilder Start(int width = 2, int height = 2) {
    GifBuilder gif;
    gif.Header().Screen(width, height, 4);
    return gif;
}

const Bytes FourIndices{0, 1, 2, 3};

}  // namespace

TEST(GifLoader, HeadersAndExtensions) {
    const Bytes id11{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    // An application extension: block size, up to 11 identifier bytes, tail.
    auto app = [&](Bytes tail, uint8_t size = 11) {
        Bytes bytes(id11.begin(), id11.begin() + std::min<size_t>(size, id11.size()));
        bytes.insert(bytes.begin(), {'!', 0xFF, size});
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    struct Case {
        const char* name;
        Bytes before;  // ahead of the header
        std::string header;
        Bytes extension;
        const char* outcome;
    } cases[] = {
        {"lower case", {}, "gif89a", {}, "loads"},
        {"unknown version", {}, "GIF12x", {}, "loads"},
        {"after 4 bytes", {1, 2, 3, 4}, "GIF89a", {}, "loads"},
        {"after 3 bytes", {1, 2, 3}, "GIF89a", {}, "GIFException: Invalid GIF signature"},
        {"no signature", {}, "PNG89a", {}, "GIFException: Invalid GIF signature"},
        {"unknown label", {}, "GIF89a", {'!', 0x2A, 1, 0, 0}, "GIFException: Unknown extension type"},
        {"app block of 9", {}, "GIF89a", app({0}, 9), "GIFException: Unsupported Application Extension block size"},
        {"app block of 12", {}, "GIF89a", app({'!', 0}, 12), "EAbstractError: Abstract Error"},
        {"app block of 10", {}, "GIF89a", app({1, 1, 0}, 10), "loads"},
        {"loop count too short", {}, "GIF89a", app({2, 1, 0, 0}), "GIFException: Invalid GIF data"},
        {"loop kind in low bits", {}, "GIF89a", app({1, 0xF9, 0}), "GIFException: Invalid GIF data"},
        {"buffer size too short", {}, "GIF89a", app({4, 2, 0, 0, 0, 0}), "GIFException: Invalid GIF data"},
        {"other sub-block kinds", {}, "GIF89a", app({1, 3, 0}), "loads"},
        {"short control block", {}, "GIF89a", {'!', 0xF9, 2, 1, 0, 0}, "loads"},
        {"text where a descriptor must be", {}, "GIF89a", {'!', 0xFE, 0, 'x'}, "GIFException: Invalid GIF data"},
    };
    for (const Case& c : cases) {
        GifBuilder gif;
        gif.Raw(c.before).Header(c.header).Screen(2, 2, 4).Raw(c.extension).Frame(0, 0, 2, 2, FourIndices, 2).Trailer();
        EXPECT_EQ(Outcome(gif.Bytes()), c.outcome) << c.name;
    }
}

TEST(GifLoader, FilesCutShort) {
    // Between whole blocks or inside the image data, loading ends quietly;
    // inside the header, screen, a table, a comment, the application block
    // or its loop count, the plain-text header or the descriptor it fails.
    std::vector<size_t> whole;
    GifBuilder gif = Start();
    whole.push_back(gif.Bytes().size());
    gif.Comment("hello");
    whole.push_back(gif.Bytes().size());
    gif.Application("NETSCAPE2.0", {{1, 0, 0}});
    whole.push_back(gif.Bytes().size());
    gif.Raw({'!', 0x01, 12, 0, 0, 0, 0, 2, 0, 2, 0, 1, 1, 0, 0, 2, 'h', 'i', 0});
    whole.push_back(gif.Bytes().size());
    gif.Descriptor(0, 0, 2, 2, 0, 2);
    const size_t imageData = gif.Bytes().size();
    gif.ImageData(2, CodeWriter(2).Codes({4, 0, 1, 2, 3, 5}).Bytes()).Trailer();
    const Bytes bytes = gif.Bytes();
    for (size_t length = 0; length <= bytes.size(); ++length) {
        bool quiet = length >= imageData || std::count(whole.begin(), whole.end(), length) > 0;
        EXPECT_EQ(Outcome(Bytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length))),
                  quiet ? "loads" : "GIFException: Premature end of data")
            << "cut at " << length;
    }
}

TEST(GifLoader, ExtensionsStayWithTheirFrame) {
    GifBuilder gif = Start();
    gif.Application("NETSCAPE2.0", {{1, 0x34, 0x12}}).GraphicControl(true, 3).GraphicControl(false, 1);
    gif.Frame(0, 0, 2, 2, FourIndices, 2).Comment("after").Trailer();
    gif::TGIFData data = Load(gif.Bytes());
    ASSERT_EQ(data.Frames.size(), 2u);
    EXPECT_EQ(std::get<gif::TGIFApplicationExtension>(data.Frames[0].Extensions[0]).LoopCount, 0x1234);
    EXPECT_TRUE(data.Frames[0].Transparent());  // the first control governs
    // A comment before the trailer makes a frame of its own, without pixels.
    EXPECT_TRUE(data.Frames[1].Empty());
    EXPECT_EQ(data.Frames[1].Extensions.size(), 1u);
}

TEST(GifLoader, BlockLoop) {
    // Zeros between blocks are skipped; "x" ends loading with two frames.
    GifBuilder gif = Start();
    gif.Raw({0, 0}).Frame(0, 0, 2, 2, FourIndices, 2).Raw({0, 0}).Frame(0, 0, 1, 1, {1}, 2).Raw({'x'});
    gif.Frame(0, 0, 1, 1, {2}, 2).Trailer();
    EXPECT_EQ(Load(gif.Bytes()).Frames.size(), 2u);

    // A minimum code size above 12: no pixels, and the data sub-blocks that
    // follow end loading. Without extensions the empty frame is dropped.
    GifBuilder tooWide = Start();
    tooWide.Descriptor(0, 0, 2, 2).ImageData(13, {1, 2, 3}).Frame(0, 0, 2, 2, FourIndices, 2).Trailer();
    EXPECT_TRUE(Load(tooWide.Bytes()).Frames.empty());

    // Data after the end code are skipped up to the zero-length sub-block;
    // an interlaced frame that ended early leaves them to the block loop.
    Bytes data = CodeWriter(2).Codes({4, 1, 1, 5}).Bytes();
    data.resize(300, 0xAB);
    for (int packed : {0x00, 0x40}) {
        GifBuilder extra = Start();
        extra.Descriptor(0, 0, 2, 2, packed).ImageData(2, data).Frame(0, 0, 1, 1, {2}, 2).Trailer();
        EXPECT_EQ(Load(extra.Bytes()).Frames.size(), packed ? 1u : 2u) << "packed " << packed;
    }
}

TEST(GifLoader, DescriptorCorrectionsAndScreenGrowth) {
    // A 16 × 16 frame on an 8 × 8 screen, a 0 × 0 frame that takes the
    // screen's size, a frame at (65000, 0) whose width 1000 wraps to 464.
    GifBuilder gif = Start(8, 8);
    gif.Frame(0, 0, 16, 16, Bytes(256, 1), 2).Descriptor(0, 0, 0, 0).ImageData(2, {});
    gif.Descriptor(65000, 0, 1000, 1).ImageData(2, {}).Trailer();
    gif::TGIFData data = Load(gif.Bytes());
    ASSERT_EQ(data.Frames.size(), 3u);
    EXPECT_EQ(data.Frames[1].Descriptor.Width, 16);
    EXPECT_EQ(data.Frames[2].Descriptor.Width, 464);
    EXPECT_EQ(data.Width, 65464);
    EXPECT_EQ(data.Height, 16);

    GifBuilder beyond = Start();
    beyond.Descriptor(65535, 0, 65535, 1).ImageData(2, {}).Trailer();
    EXPECT_EQ(Outcome(beyond.Bytes()), "GIFException: Invalid image size");
}

TEST(GifLoader, PixelsOfFirstAndLaterFrames) {
    // Half the data: the rest keeps the transparent index, or 0. (8-bit
    // codes, so that no padding bits make up a code.)
    const Bytes half = CodeWriter(7).Codes({128, 1, 1}).Bytes();
    for (bool transparent : {false, true}) {
        GifBuilder gif = Start();
        if (transparent) gif.GraphicControl(true, 3);
        gif.Descriptor(0, 0, 2, 2).ImageData(7, half).Trailer();
        EXPECT_EQ(Load(gif.Bytes()).Frames[0].Pixels, (transparent ? Bytes{1, 1, 3, 3} : Bytes{1, 1, 0, 0}));
    }
    // Later frames are decoded, so they can fail loading, but keep no pixels.
    GifBuilder two = Start();
    two.Frame(0, 0, 2, 2, FourIndices, 2).Frame(0, 0, 2, 2, {3, 2, 1, 0}, 2).Trailer();
    gif::TGIFData data = Load(two.Bytes());
    EXPECT_EQ(data.Frames[0].Pixels, FourIndices);
    EXPECT_TRUE(data.Frames[1].Pixels.empty());
    EXPECT_FALSE(data.Frames[1].Empty());
    GifBuilder bad = Start();
    bad.Frame(0, 0, 2, 2, FourIndices, 2)
        .Descriptor(0, 0, 10, 10)
        .ImageData(2, CodeWriter(2).Codes({0, 7, 7, 7}).Bytes());
    EXPECT_EQ(Outcome(bad.Bytes()), "GIFException: Circular decoder table entry");
    // Frames above the pixel limit are refused before anything is allocated.
    for (int frame : {0, 1}) {
        GifBuilder huge = Start();
        if (frame) huge.Frame(0, 0, 2, 2, FourIndices, 2);
        huge.Descriptor(0, 0, 20000, 20000).ImageData(2, {}).Trailer();
        EXPECT_EQ(Outcome(huge.Bytes()), "EOutOfMemory: Failed to allocate memory for GIF DIB");
    }
}

TEST(GifLoader, StreamPosition) {
    GifBuilder gif = Start();
    gif.Frame(0, 0, 2, 2, FourIndices, 2).Trailer().Raw({1, 2, 3});
    TMemoryStream good(gif.Bytes());
    gif::LoadGIF(good);
    EXPECT_EQ(good.Position(), good.Size() - 3);

    GifBuilder bad;
    bad.Raw({9, 9}).Header().Screen(2, 2).Raw({'!', 0x2A});
    TMemoryStream failing(bad.Bytes());
    failing.SetPosition(2);
    EXPECT_THROW(gif::LoadGIF(failing), GIFException);
    EXPECT_EQ(failing.Position(), 2);
}

// Every file of the public suites loads, or fails with the reader's text:
// the conformance suite's image-zero-height.gif and image-zero-size.gif
// announce a local colour table they do not hold, and its
// unknown-extension.gif uses label 0x2A.
TEST(GifLoader, PublicSuites) {
    const std::map<std::string, std::string> failures = {
        {"gif-test-suite/image-zero-height.gif", "GIFException: Premature end of data"},
        {"gif-test-suite/image-zero-size.gif", "GIFException: Premature end of data"},
        {"gif-test-suite/unknown-extension.gif", "GIFException: Unknown extension type"},
    };
    const std::filesystem::path root = TW_TESTIMAGES_DIR "/gif";
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".gif") continue;
        ++files;
        std::string name = std::filesystem::relative(entry.path(), root).generic_string();
        TFileStream stream(entry.path().string(), TFileStream::Mode::OpenRead);
        Bytes bytes(static_cast<size_t>(stream.Size()));
        stream.ReadBuffer(bytes.data(), bytes.size());
        auto failure = failures.find(name);
        EXPECT_EQ(Outcome(bytes), failure == failures.end() ? "loads" : failure->second) << name;
    }
    EXPECT_GT(files, 100);
}
