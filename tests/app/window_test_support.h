#pragma once
// A main window with scripted dialogs and a recording file revealer, and the
// test pictures it loads.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QGuiApplication>
#include <QSettings>

#include "app/main_window.h"
#include "tests/ui/qt_test_environment.h"
#include "ui/scripted_dialogs.h"

class TRecordingRevealer : public IFileRevealer {
public:
    void Reveal(const std::string& absolutePath) override { Revealed.push_back(absolutePath); }
    std::vector<std::string> Revealed;
};

inline std::string TestPicture(const std::string& relativePath) {
    return std::string(TW_TESTIMAGES_DIR) + "/" + relativePath;
}

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        // Each test starts as a first run: nothing remembered by another.
        QSettings("tintwright", "tintwright").clear();
        SetDialogs(FDialogs);
        FDialogs->OnShow = [this](const TScriptedDialogs::TShown& shown) {
            // No box may appear while the busy cursor is still up.
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << shown.Text;
            bool windowShown = false;
            for (QWidget* widget : QApplication::topLevelWidgets())
                windowShown = windowShown || (dynamic_cast<TTintwright*>(widget) != nullptr && widget->isVisible());
            FWindowShownAtBoxes.push_back(windowShown);
        };
    }

    std::unique_ptr<TTintwright> MakeWindow(TUpdateChecker checker = nullptr) {
        TTintwrightServices services;
        services.CheckForUpdates = std::move(checker);
        services.Revealer = FRevealer;
        return std::make_unique<TTintwright>(std::move(services));
    }

    // Clicks the load button with `fileName` chosen in the dialog (nothing:
    // the dialog is cancelled).
    void Load(TTintwright& window, std::optional<std::string> fileName) {
        FDialogs->AnswerOpenFile(fileName);
        window.btnLoadImage->click();
    }

    std::shared_ptr<TScriptedDialogs> FDialogs = std::make_shared<TScriptedDialogs>();
    std::shared_ptr<TRecordingRevealer> FRevealer = std::make_shared<TRecordingRevealer>();
    // For each box shown, whether a main window was on screen then.
    std::vector<bool> FWindowShownAtBoxes;
};

// A fresh folder that is the current directory while it lives.
class TTemporaryCurrentDirectory {
public:
    TTemporaryCurrentDirectory() : FPrevious(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tintwright-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
        std::filesystem::current_path(FPath);
    }
    ~TTemporaryCurrentDirectory() {
        std::filesystem::current_path(FPrevious);
        std::filesystem::remove_all(FPath);
    }
    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPrevious;
    std::filesystem::path FPath;
};
