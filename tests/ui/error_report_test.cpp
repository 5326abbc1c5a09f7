// The error report, ShowMessage and the title rule, through the scripted
// dialogs.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <tuple>
#include <vector>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "base/exception.h"
#include "tests/ui/qt_test_environment.h"
#include "ui/controls.h"
#include "ui/scripted_dialogs.h"

namespace {

// The report of Exception(outer) thrown with a nested Inner(inner).
template <class Inner>
std::string ReportOfNested(const std::string& outer, const std::string& inner) {
    try {
        try {
            throw Inner(inner);
        } catch (...) {
            std::throw_with_nested(Exception(outer));
        }
    } catch (const std::exception& error) {
        return ErrorReportText(error);
    }
    return "not thrown";
}

// A widget whose event handling fails, as a handler of ours might.
class TFailingWidget : public QWidget {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) throw EInOutError("File access denied");
        return QWidget::event(event);
    }
};

class ErrorReport : public testing::Test {
protected:
    void SetUp() override { SetDialogs(FDialogs); }
    std::shared_ptr<TScriptedDialogs> FDialogs = std::make_shared<TScriptedDialogs>();
};

}  // namespace

TEST(ErrorReportText, ClosingPeriodInnermostMessageAndSilentAborts) {
    const struct {
        const char* Message;
        const char* Shown;
    } cases[] = {
        {"Error: Unsupported format", "Error: Unsupported format."},
        {"Read timed out.", "Read timed out."},
        {"Palette.bmp saved!", "Palette.bmp saved!"},
        {"I/O error (32)", "I/O error (32)"},
        {"Version 1-", "Version 1-"},  // "-" lies just below ".", "/" just above
        {"Version 1/", "Version 1/."},
        {"", ""},
    };
    for (const auto& row : cases) EXPECT_EQ(ErrorReportText(Exception(row.Message)), row.Shown) << row.Message;

    EXPECT_EQ(ReportOfNested<EInOutError>("Writing failed", "Disk full"), "Disk full.");
    EXPECT_EQ(ReportOfNested<EInOutError>("Writing failed", ""), "Writing failed.");
    EXPECT_EQ(ErrorReportText(EAbort("Operation aborted")), "");
    EXPECT_EQ(ErrorReportText(std::bad_alloc()), "Out of memory.");
}

TEST_F(ErrorReport, ErrorBoxesAndMessagesCarryTheTitleAndBreakLines) {
    ShowException(EAbort("never shown"));
    ShowException(Exception("Socket Error # 10061\r\nConnection refused."));
    ShowMessage("Error: Empty or unrecognized image");
    ShowMessage("saved!\r\nNote: second line");
    using TKind = TScriptedDialogs::TKind;
    const std::vector<std::tuple<TKind, std::string, std::string>> expected = {
        {TKind::Error, ApplicationTitle(), "Socket Error # 10061\nConnection refused."},
        {TKind::Message, ApplicationTitle(), "Error: Empty or unrecognized image"},
        {TKind::Message, ApplicationTitle(), "saved!\nNote: second line"},
    };
    std::vector<std::tuple<TKind, std::string, std::string>> shown;
    for (const auto& box : FDialogs->Shown()) shown.emplace_back(box.Kind, box.Title, box.Text);
    EXPECT_EQ(shown, expected);
}

TEST_F(ErrorReport, ExceptionsEscapingHandlersAreReportedAndTheProgramGoesOn) {
    TButton button(nullptr, "Go");
    int clicks = 0;
    button.OnClick = [&clicks] {
        ++clicks;
        throw Exception("Error: Unsupported format");
    };
    button.click();
    button.click();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(FDialogs->Errors(), (std::vector<std::string>(2, "Error: Unsupported format.")));

    // Caught where Qt dispatches the event, not by the widget.
    TFailingWidget widget;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&widget, &event);
    EXPECT_EQ(FDialogs->Errors().back(), "File access denied.");
}

TEST(ApplicationTitle, FromTheExecutablesFileName) {
    const struct {
        const char* Path;
        const char* Title;
    } cases[] = {
        {"/usr/bin/TINTWRIGHT", "Tintwright"},
        {"/opt/tools/Tintwright.beta", "Tintwright"},
        {"TINTWRIGHT.EXE", "Tintwright"},
        {"/usr/local/bin/tintwright", "tintwright"},
        {"/home/my.tools/RUN", "Run"},
        {"/opt/\xC3\x89"
         "CLAIR",
         "\xC3\x89"
         "clair"},  // whole characters lowered, not bytes
        {"/opt/.hidden", ""},
    };
    for (const auto& row : cases) EXPECT_EQ(ApplicationTitleFromPath(row.Path), row.Title) << row.Path;
}
