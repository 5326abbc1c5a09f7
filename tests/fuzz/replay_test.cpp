// Replays every input that was ever a fuzzing finding through the road of its
// target, as the fuzz target runs it (same limits): one named row per file.
// A crash, a sanitizer report or an exception that is not one of ours fails
// its row.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/roads.h"
#include "tests/support/file_bytes.h"

namespace fs = std::filesystem;

namespace {

struct TRegression {
    std::string Target;
    fs::path File;
};

const fs::path RegressionsFolder = fs::path(TW_SOURCE_DIR) / "fuzz" / "regressions";

void PrintTo(const TRegression& regression, std::ostream* out) {
    *out << regression.Target << "/" << regression.File.filename().string();
}

std::vector<TRegression> AllRegressions() {
    std::vector<TRegression> all;
    for (const fs::directory_entry& target : fs::directory_iterator(RegressionsFolder))
        for (const fs::directory_entry& file : fs::directory_iterator(target.path()))
            all.push_back({target.path().filename().string(), file.path()});
    std::sort(all.begin(), all.end(), [](const TRegression& a, const TRegression& b) { return a.File < b.File; });
    return all;
}

std::string RowName(const testing::TestParamInfo<TRegression>& info) {
    std::string name = info.param.Target + "_" + info.param.File.filename().string();
    for (char& character : name)
        if (!std::isalnum(static_cast<unsigned char>(character))) character = '_';
    return name;
}

class FuzzRegression : public testing::TestWithParam<TRegression> {};

}  // namespace

TEST_P(FuzzRegression, RunsThroughItsRoad) {
    const TRegression& regression = GetParam();
    const TFuzzRoad road = FuzzRoad(regression.Target);
    ASSERT_NE(road, nullptr) << "no fuzz target named " << regression.Target;
    const std::vector<uint8_t> bytes = ReadFileBytes(regression.File.string());
    ASSERT_FALSE(bytes.empty()) << regression.File;
    PrepareFuzzRoad(regression.Target);
    road(bytes.data(), bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Replay, FuzzRegression, testing::ValuesIn(AllRegressions()), RowName);

TEST(FuzzRegressions, EveryTargetNamedByAFolderExists) {
    for (const fs::directory_entry& target : fs::directory_iterator(RegressionsFolder))
        EXPECT_NE(FuzzRoad(target.path().filename().string()), nullptr) << target.path();
}
