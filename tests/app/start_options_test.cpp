// The window's command line.
#include <gtest/gtest.h>

#include "app/start_options.h"

TEST(StartOptions, OnePictureOptionsAndWrongLines) {
    using K = TStartOptions::TKind;
    const struct {
        std::vector<std::string> Arguments;
        K Kind;
        std::string Picture;
    } cases[] = {
        {{}, K::Window, ""},
        {{""}, K::Window, ""},  // a launcher's empty file field
        {{"photo.png"}, K::Window, "photo.png"},
        {{"--", "-dash.png"}, K::Window, "-dash.png"},
        {{"-"}, K::Window, "-"},
        {{"--version"}, K::Version, ""},
        {{"photo.png", "--help"}, K::Help, ""},
        {{"-h"}, K::Help, ""},
        {{"a.png", "b.png"}, K::Problem, ""},
        {{"--verbose"}, K::Problem, ""},
        {{"--", "--version"}, K::Window, "--version"},
    };
    for (const auto& row : cases) {
        const TStartOptions options = ParseStartOptions(row.Arguments);
        const std::string line = row.Arguments.empty() ? "(none)" : row.Arguments.front();
        EXPECT_EQ(options.Kind, row.Kind) << line;
        EXPECT_EQ(options.Picture, row.Picture) << line;
        EXPECT_EQ(options.Problem.empty(), row.Kind != K::Problem) << line;
    }
}
