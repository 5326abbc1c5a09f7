// Texts longer than the writer's buffer: every buffer reaches the file in
// order, through both Write and Room/Advance, and the palette text of many
// distinct colours comes out whole.

#include "analysis/palette_outputs.h"
#include "analysis/text_file_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

fs::path TemporaryPath(const char* name) {
    return fs::temp_directory_path() / (std::string("tw_text_writer_") + std::to_string(::getpid()) + "_" + name);
}

TEST(TextFileWriter, TextOfSeveralBuffersArrivesWholeAndInOrder) {
    const fs::path path = TemporaryPath("chunks.txt");
    // Chunks of a prime length, so that buffer ends fall inside chunks.
    std::string expected;
    {
        TTextFileWriter writer(path.string());
        for (int i = 0; expected.size() < 3 * TTextFileWriter::BufferSize + 5; ++i) {
            char chunk[97];
            std::memset(chunk, 'a' + i % 26, sizeof chunk);
            if (i % 2 == 0) {
                writer.Write(chunk, sizeof chunk);
            } else {
                std::memcpy(writer.Room(sizeof chunk), chunk, sizeof chunk);
                writer.Advance(sizeof chunk);
            }
            expected.append(chunk, sizeof chunk);
        }
        // One write larger than the buffer itself.
        const std::string large(TTextFileWriter::BufferSize + 3, 'Z');
        writer.Write(large.data(), large.size());
        expected += large;
        writer.Commit();
    }
    const std::string written = ReadAll(path);
    fs::remove(path);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

TEST(TextFileWriter, PaletteTextOfManyColoursIsComplete) {
    // 160,000 distinct colours make about 5 MB of text.
    TPixelData pairs;
    std::string expected;
    char line[64];
    for (uint32_t i = 0; i < 160000; ++i) {
        const TColor32 colour = 0xFF000000u | (i * 97u & 0xFFFFFF);
        pairs.push_back({static_cast<float>(i % 255) + 0.25f, colour});
        std::snprintf(line, sizeof line, "Index %u: %u.25 RGB(%u,%u,%u)\r\n", i, i % 255, (colour >> 16) & 0xFF,
                      (colour >> 8) & 0xFF, colour & 0xFF);
        expected += line;
    }
    const fs::path path = TemporaryPath("LuminosityValues.txt");
    WriteLuminosityValues(pairs, path.string(), ".");
    const std::string written = ReadAll(path);
    fs::remove(path);
    ASSERT_GT(expected.size(), 4 * TTextFileWriter::BufferSize);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

}  // namespace
