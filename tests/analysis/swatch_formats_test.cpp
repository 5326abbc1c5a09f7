// Each palette format read back with the readers of swatch_readers.h, and a
// four-colour palette compared byte for byte with the files in golden/.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "analysis/distinct_colors.h"
#include "analysis/palette_lists.h"
#include "analysis/swatch_formats.h"
#include "base/exception.h"
#include "tests/analysis/swatch_readers.h"
#include "tests/support/file_bytes.h"

namespace fs = std::filesystem;
using namespace swatch_readers;

namespace {

std::string ReadFileBytesAsString(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

constexpr TSwatchFormat AllFormats[] = {TSwatchFormat::Gpl, TSwatchFormat::Ase, TSwatchFormat::Aco, TSwatchFormat::Pal,
                                        TSwatchFormat::Hex, TSwatchFormat::Csv, TSwatchFormat::Json};

class SwatchFiles : public ::testing::Test {
protected:
    void SetUp() override {
        FFolder = fs::temp_directory_path() / ("tw_swatches_" + std::to_string(::getpid()));
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    // Analyses the pixels and writes every format; returns the colours listed.
    TPixelData WriteAll(const std::vector<TColor32>& pixels, int width, const std::string& path = "pictures/p.png") {
        TBitmap32 bitmap;
        bitmap.SetSize(width, static_cast<int>(pixels.size()) / width);
        std::copy(pixels.begin(), pixels.end(), bitmap.Bits());
        std::unique_ptr<TBitmap32> sample;
        const size_t distinct = static_cast<size_t>(*CreateSampleColorImage(bitmap, sample));
        FCounts = std::make_unique<TColorCounts>(bitmap.Bits(), pixels.size(), distinct);
        const TPixelData colors =
            OrderedPaletteLists(*sample, distinct, TPaletteOrder::Luminosity, FCounts.get(), true).Colors;
        const TSwatchSource source{path,
                                   fs::path(path).filename().string(),
                                   bitmap.Width(),
                                   bitmap.Height(),
                                   static_cast<int64_t>(distinct),
                                   TPaletteOrder::Luminosity};
        for (TSwatchFormat format : AllFormats) {
            try {
                WriteSwatchFile(format, colors, source, FCounts.get(), File(format));
            } catch (const Exception& error) {
                FErrors[format] = error.Message();
            }
        }
        return colors;
    }
    std::string File(TSwatchFormat format) const {
        return (FFolder / (std::string("Palette.") + SwatchFormatName(format))).string();
    }
    std::string Bytes(TSwatchFormat format) const { return ReadFileBytesAsString(File(format)); }

    fs::path FFolder;
    std::unique_ptr<TColorCounts> FCounts;
    std::map<TSwatchFormat, std::string> FErrors;
};

TRgb RgbOf(TColor32 color, bool withAlpha) {
    TRgb rgb{RedComponent(color), GreenComponent(color), BlueComponent(color), 255, ""};
    if (withAlpha) rgb.Alpha = AlphaComponent(color);
    return rgb;
}

std::vector<TRgb> Expected(const TPixelData& colors, bool withAlpha) {
    std::vector<TRgb> expected;
    for (const auto& pair : colors) expected.push_back(RgbOf(pair.Value, withAlpha));
    return expected;
}

// Every format read back holds the colours in order, and csv and json their
// counts; the formats without alpha hold red, green and blue.
void CheckAllFormats(const std::string& folderNote, const TPixelData& colors, const TColorCounts& counts,
                     const std::function<std::string(TSwatchFormat)>& bytes) {
    SCOPED_TRACE(folderNote);
    EXPECT_EQ(ReadGpl(bytes(TSwatchFormat::Gpl)), Expected(colors, false));
    EXPECT_EQ(ReadPal(bytes(TSwatchFormat::Pal)), Expected(colors, false));
    EXPECT_EQ(ReadHex(bytes(TSwatchFormat::Hex)), Expected(colors, true));
    EXPECT_EQ(ReadAse(bytes(TSwatchFormat::Ase)), Expected(colors, false));
    const auto rows = ReadCsv(bytes(TSwatchFormat::Csv));
    ASSERT_EQ(rows.size(), colors.size() + 1);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"index", "hex", "red", "green", "blue", "alpha", "luminosity", "count"}));
    const std::string jsonText = bytes(TSwatchFormat::Json);
    TJsonReader reader(jsonText);
    const TJson json = reader.Document();
    ASSERT_FALSE(reader.Failed());
    const auto& entries = json["colors"].Array();
    ASSERT_EQ(entries.size(), colors.size());
    for (size_t i = 0; i < colors.size(); ++i) {
        const TColor32 color = colors[i].Value;
        const auto& row = rows[i + 1];
        ASSERT_EQ(row.size(), 8u);
        EXPECT_EQ(row[0], std::to_string(i));
        EXPECT_EQ(std::stoul(row[1].substr(1), nullptr, 16), (color << 8 | color >> 24)) << "#rrggbbaa";
        EXPECT_EQ(row[5], std::to_string(AlphaComponent(color)));
        EXPECT_NEAR(std::stod(row[6]), colors[i].Key, 0.0051);  // halves round up
        EXPECT_EQ(row[6].find('.'), row[6].size() - 3);
        EXPECT_EQ(std::stoull(row[7]), counts.Of(color));
        const TJson& entry = entries[i];
        EXPECT_EQ(entry["hex"].Text(), "#" + row[1].substr(1));
        EXPECT_EQ(entry["a"].Number(), AlphaComponent(color));
        EXPECT_EQ(entry["r"].Number(), RedComponent(color));
        EXPECT_EQ(entry["count"].Number(), double(counts.Of(color)));
    }
}

}  // namespace

TEST_F(SwatchFiles, AlphaColoursReadBack) {
    const TPixelData colors =
        WriteAll({0x80FF0000, 0xFFFF0000, 0x00000000, 0x40123456, 0xFF000000, 0x80FF0000, 0x01ABCDEF, 0xFFFFFFFF}, 4);
    ASSERT_EQ(colors.size(), 7u);  // both blacks, each once
    EXPECT_TRUE(FErrors.empty());
    CheckAllFormats("alpha", colors, *FCounts, [&](TSwatchFormat f) { return Bytes(f); });
    EXPECT_EQ(ReadAco(Bytes(TSwatchFormat::Aco)), Expected(colors, false));
    EXPECT_EQ(ReadAse(Bytes(TSwatchFormat::Ase))[0].Name, "#ffffff");
}

TEST_F(SwatchFiles, SingleColourReadsBack) {
    const TPixelData colors = WriteAll(std::vector<TColor32>(12, 0xFF336699), 3);
    ASSERT_EQ(colors.size(), 1u);
    CheckAllFormats("single", colors, *FCounts, [&](TSwatchFormat f) { return Bytes(f); });
    EXPECT_EQ(ReadAco(Bytes(TSwatchFormat::Aco)), Expected(colors, false));
    EXPECT_EQ(FCounts->Of(0xFF336699), 12u);
}

TEST_F(SwatchFiles, SeventyThousandColoursAreTooManyForAcoOnly) {
    std::vector<TColor32> pixels(70000);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000 | static_cast<TColor32>(i * 239);
    const TPixelData colors = WriteAll(pixels, 280);
    ASSERT_EQ(colors.size(), 70000u);
    ASSERT_EQ(FErrors.count(TSwatchFormat::Aco), 1u);
    EXPECT_NE(FErrors[TSwatchFormat::Aco].find("65,535"), std::string::npos) << FErrors[TSwatchFormat::Aco];
    EXPECT_FALSE(fs::exists(File(TSwatchFormat::Aco)));
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), fs::directory_iterator()), 6) << "no temporary file";
    EXPECT_EQ(FErrors.size(), 1u);
    CheckAllFormats("70000", colors, *FCounts, [&](TSwatchFormat f) { return Bytes(f); });

    // One colour fewer than the limit still fits.
    pixels.resize(65535);
    const TPixelData fitting = WriteAll(pixels, 65535);
    EXPECT_EQ(ReadAco(Bytes(TSwatchFormat::Aco)).size(), 65535u);
}

TEST_F(SwatchFiles, PictureNamesSurviveQuotesBackslashesAndOtherBytes) {
    for (const std::string& name :
         {std::string("say \"hi\" \\ caf\xC3\xA9 \xE2\x9C\x93.png"), std::string("tab\tnew\nline \xFF\xFE.png")}) {
        WriteAll({0xFF102030, 0xFF405060}, 2, "dir/" + name);
        const std::string jsonText = Bytes(TSwatchFormat::Json);
        EXPECT_TRUE(IsUtf8(jsonText));
        TJsonReader reader(jsonText);
        const TJson json = reader.Document();
        ASSERT_FALSE(reader.Failed()) << name;
        std::string gplName;
        ReadGpl(Bytes(TSwatchFormat::Gpl), &gplName);
        EXPECT_TRUE(IsUtf8(gplName));
        if (IsUtf8(name) && name.find('\n') == std::string::npos) {
            EXPECT_EQ(json["source"].Text(), "dir/" + name);
            EXPECT_EQ(gplName, name);
        } else {
            EXPECT_EQ(json["source"].Text(), "dir/tab\tnew\nline \xEF\xBF\xBD\xEF\xBF\xBD.png");
            EXPECT_EQ(gplName, "tab new line \xEF\xBF\xBD\xEF\xBF\xBD.png");
        }
        EXPECT_EQ(json["distinct"].Number(), 2);
        EXPECT_EQ(json["width"].Number(), 2);
        EXPECT_EQ(json["order"].Text(), "luminosity");
    }
}

TEST_F(SwatchFiles, FourColoursMatchTheGoldenFiles) {
    // Opaque red, half-transparent green twice, blue, white.
    WriteAll({0xFFFF0000, 0x8000FF00, 0xFF0000FF, 0xFFFFFFFF, 0x8000FF00, 0xFFFF0000}, 3, "four colours.bmp");
    for (TSwatchFormat format : AllFormats) {
        const std::string golden =
            std::string(TW_SOURCE_DIR) + "/tests/analysis/golden/four_colors." + SwatchFormatName(format);
        EXPECT_EQ(Bytes(format), ReadFileBytesAsString(golden)) << SwatchFormatName(format);
    }
}
