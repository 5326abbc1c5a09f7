// The conformance suite's expected first frames against our bitmap of
// frame 0.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "pictures/gif/gif_image.h"

namespace {

const std::string Directory = TW_TESTIMAGES_DIR "/gif/gif-test-suite/";

// The "key = value" lines of a .conf file, keyed "section.key".
std::map<std::string, std::string> ReadConf(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream file(path);
    std::string line, section;
    while (std::getline(file, line)) {
        line.erase(std::min(line.find('#'), line.size()));
        if (line.starts_with('[')) section = line.substr(1, line.find(']') - 1);
        auto equals = line.find(" = ");
        if (equals != std::string::npos) values[section + "." + line.substr(0, equals)] = line.substr(equals + 3);
    }
    return values;
}

// What we show where the reference is transparent: the background colour
// under a transparent frame 0 (the window colour without a global table,
// entry 0 for an index beyond it), white around an opaque frame 0.
uint32_t FillColor(const TGIFImage& image) {
    if (!image.Frames()[0].Transparent()) return 0xFFFFFF;
    gdi::COLORREF color = gdi::GetSysColor(gdi::COLOR_WINDOW);
    const gif::TGIFColorTable& table = image.GlobalColorTable();
    if (!table.empty()) {
        const size_t index = image.BackgroundColorIndex();
        const gif::TGIFColor& entry = table[index < table.size() ? index : 0];
        color = gdi::RGB(entry.Red, entry.Green, entry.Blue);
    }
    return uint32_t{gdi::GetRValue(color)} << 16 | gdi::GetGValue(color) << 8 | gdi::GetBValue(color);
}

// Where the suite and our rules part ways, what our rules give.
const std::map<std::string, std::string> Differ = {
    // The descriptor announces a local table the file does not hold.
    {"image-zero-height", "Premature end of data"},
    {"image-zero-size", "Premature end of data"},
    // Label 0x2A is not one of the four extension kinds.
    {"unknown-extension", "Unknown extension type"},
    // A 0 × 1 frame takes the screen's size; its minimum code size is then
    // the trailer byte (59, above 12): no pixels, so no frame.
    {"image-zero-width", "no frame"},
    // No image at all; the suite shows the background.
    {"no-data", "no frame"},
    // The suite's first frame composes several images; ours is the first.
    {"images-overlap", "first image only"},
    {"images-combine", "first image only"},
    {"high-color", "first image only"},
    {"dispose-restore-previous", "first image only"},
    // A frame beyond the screen grows the screen instead of being cut; the
    // suite's area is compared.
    {"image-outside-bg", "screen grows"},
    {"image-overlap-bg", "screen grows"},
};

}  // namespace

TEST(GifConformance, FirstFramesMatchTheReferences) {
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Directory)) {
        if (entry.path().extension() != ".conf") continue;
        const std::string name = entry.path().stem().string();
        auto conf = ReadConf(entry.path().string());
        const std::string frames = conf["config.frames"];
        if (frames.empty()) continue;  // nothing to show
        const std::string reference = conf[frames.substr(0, frames.find(',')) + ".pixels"];

        TGIFImage image;
        TBitmap bitmap;
        std::string outcome = "loads";
        try {
            image.LoadFromFile(Directory + conf["config.input"]);
            bitmap.Assign(&image);
            if (image.Frames().empty()) outcome = "no frame";
        } catch (const Exception& error) {
            outcome = error.Message();
        }
        const std::string difference = Differ.contains(name) ? Differ.at(name) : "";
        const bool loads = difference.empty() || difference == "first image only" || difference == "screen grows";
        ASSERT_EQ(outcome, loads ? "loads" : difference) << name;
        if (outcome != "loads" || difference == "first image only") continue;

        const int width = std::stoi(conf["config.width"]), height = std::stoi(conf["config.height"]);
        if (difference.empty()) {
            ASSERT_EQ(bitmap.Width(), width) << name;
            ASSERT_EQ(bitmap.Height(), height) << name;
        }
        std::ifstream file(Directory + reference, std::ios::binary);
        std::vector<uint8_t> rgba{std::istreambuf_iterator<char>(file), {}};
        ASSERT_EQ(rgba.size(), size_t(width) * height * 4) << name;

        gdi::BitmapInfo info;  // as wide as the reference: the rest is not read
        info.Header.biWidth = width;
        info.Header.biHeight = -height;
        info.Header.biBitCount = 32;
        std::vector<uint32_t> pixels(size_t(width) * height);
        ASSERT_EQ(gdi::GetDIBits(bitmap.Handle(), 0, height, pixels.data(), info), height) << name;
        const uint32_t fill = FillColor(image);
        int mismatches = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint8_t* want = &rgba[i * 4];
            uint32_t expected = want[3] == 0 ? fill : uint32_t{want[0]} << 16 | want[1] << 8 | want[2];
            if ((pixels[i] & 0xFFFFFF) != expected && mismatches++ < 3)
                ADD_FAILURE() << name << " pixel " << i << ": have " << std::hex << (pixels[i] & 0xFFFFFF) << ", want "
                              << expected;
        }
        ++compared;
    }
    EXPECT_GT(compared, 60);
}
