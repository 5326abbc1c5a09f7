#pragma once
// Runs the built tintwright-palette in a fresh folder, as a user would.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

struct TRun {
    int Status = -1;  // -1: ended by a signal
    std::string Out, Err;
};

inline std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class PaletteTool : public ::testing::Test {
protected:
    void SetUp() override {
        FFolder = fs::temp_directory_path() / ("tw_palette_tool_" + std::to_string(::getpid()));
        fs::remove_all(FFolder);
        fs::create_directories(FFolder / "out");
    }
    void TearDown() override { fs::remove_all(FFolder); }

    TRun Run(const std::string& arguments) const {
        const std::string command = "cd " + Quoted(FFolder.string()) + " && " + Quoted(TW_PALETTE_TOOL) + " " +
                                    arguments + " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        TRun run;
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Out = Read(FFolder / "stdout.txt");
        run.Err = Read(FFolder / "stderr.txt");
        return run;
    }
    fs::path FFolder;
};

inline std::string TestImage(const char* relative) { return std::string(TW_TESTIMAGES_DIR) + "/" + relative; }
