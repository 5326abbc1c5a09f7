#pragma once
// One application object for a whole test program, made before the first
// test and destroyed after the last. Windows are drawn off screen unless the
// caller chose a platform. The user's settings go to a fresh folder that is
// removed at the end, never to the real configuration folder.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <QSettings>

#include "ui/application.h"

class TQtTestEnvironment : public testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        std::string pattern = (std::filesystem::temp_directory_path() / "tintwright-settings-XXXXXX").string();
        FSettingsFolder = ::mkdtemp(pattern.data());
        ::setenv("XDG_CONFIG_HOME", FSettingsFolder.c_str(), 1);
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        FApplication = std::make_unique<TApplication>(argc, argv);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(FSettingsFolder));
    }
    void TearDown() override {
        FApplication.reset();
        std::filesystem::remove_all(FSettingsFolder);
    }

    // Where the settings of this test program are kept.
    static const std::string& SettingsFolder() { return FSettingsFolder; }

private:
    std::unique_ptr<TApplication> FApplication;
    static inline std::string FSettingsFolder;
};

inline testing::Environment* const QtTestEnvironment = testing::AddGlobalTestEnvironment(new TQtTestEnvironment);
