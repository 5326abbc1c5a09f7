// What the window offers as a desktop program: keyboard, icon, pictures from
// the command line and from drops, the open dialog's folder across runs, and
// a start that asks no server when the build has none.
#include <fstream>
#include <sstream>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "net/transport/stack.h"
#include "tests/app/window_test_support.h"
#include "tests/net/loopback_server.h"
#include "tests/net/loopback_server.h"

namespace {

void Press(QWidget* receiver, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(receiver, &press);
    QApplication::sendEvent(receiver, &release);
}

std::unique_ptr<QMimeData> Files(const std::vector<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(QList<QUrl>(urls.begin(), urls.end()));
    return data;
}

// What the dialog would hand on for the test picture: an absolute path
// without "..".
std::string Normal(const std::string& path) { return std::filesystem::path(path).lexically_normal().string(); }

QUrl Local(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

// Drags `data` over the window and drops it; whether the cursor allowed the
// drop while dragging, and whether the drop was taken.
std::pair<bool, bool> DragAndDrop(TTintwright& window, const QMimeData& data) {
    const QPoint centre = window.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDragMoveEvent move(centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QDropEvent drop(QPointF(centre), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return {enter.isAccepted() && move.isAccepted(), drop.isAccepted()};
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST_F(WindowTest, ReturnAndEnterPressTheFocusedButtonWhichShowsItsFrame) {
    TTemporaryCurrentDirectory folder;
    auto window = MakeWindow();
    QApplication::processEvents();
    ASSERT_EQ(window->focusWidget(), window->btnLoadImage);

    // The focus frame is drawn because the keyboard is in use; without that
    // the same button looks different.
    const QImage framed = window->btnLoadImage->grab().toImage();
    window->setAttribute(Qt::WA_KeyboardFocusChange, false);
    EXPECT_NE(window->btnLoadImage->grab().toImage(), framed);
    window->setAttribute(Qt::WA_KeyboardFocusChange, true);

    FDialogs->AnswerOpenFile(TestPicture("bmpsuite/g/pal1.bmp"));
    Press(window->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(window->PanelColorCount->Caption(), "Distinct Colors: 2");

    // Keypad Enter on the second button generates the palette.
    window->btnGeneratePalette->setFocus(Qt::TabFocusReason);
    Press(window->btnGeneratePalette, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Palette.bmp"));
    EXPECT_EQ(FRevealer->Revealed.size(), 1u);

    // Return with a modifier, and other keys, press nothing.
    FDialogs->AnswerOpenFile(std::nullopt);
    Press(window->btnLoadImage, Qt::Key_Return, Qt::ControlModifier);
    Press(window->btnLoadImage, Qt::Key_A);
    EXPECT_EQ(FDialogs->OpenFileStarts().size(), 1u);
}

TEST_F(WindowTest, WindowIconComesInTheThemeSizes) {
    auto window = MakeWindow();
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    for (const int size : {16, 32, 48, 256}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    EXPECT_FALSE(window->windowIcon().pixmap(64, 64).isNull());
}

TEST_F(WindowTest, PictureNamedAtStartLoadsOnceShownAsIfChosen) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(TestPicture("bmpsuite/g"));
    auto window = MakeWindow();
    window->OpenLater("pal1.bmp");
    std::filesystem::current_path(previous);
    EXPECT_EQ(window->PanelColorCount->Caption(), "Unique Colors");  // not before the window is up

    QApplication::processEvents();
    EXPECT_TRUE(FDialogs->Shown().empty());
    EXPECT_EQ(window->PanelColorCount->Caption(), "Distinct Colors: 2");
    // The dialog then starts with it, as after a choice there.
    Load(*window, std::nullopt);
    EXPECT_EQ(FDialogs->OpenFileStarts().back(), Normal(TestPicture("bmpsuite/g/pal1.bmp")));

    // A failure says what the dialog's road says for the same file.
    const std::string missing = Normal(TestPicture("no-such-picture.png"));
    Load(*window, missing);
    const std::vector<std::string> throughDialog = FDialogs->Errors();
    ASSERT_EQ(throughDialog.size(), 1u);
    FDialogs->Clear();
    window->OpenLater(missing);
    QApplication::processEvents();
    EXPECT_EQ(FDialogs->Errors(), throughDialog);
}

TEST_F(WindowTest, OneDroppedLocalFileLoadsAndAnythingElseIsRefused) {
    auto window = MakeWindow();
    const auto two = Files({Local(TestPicture("bmpsuite/g/pal1.bmp")), Local(TestPicture("bmpsuite/g/pal4.bmp"))});
    const auto remote = Files({QUrl("http://127.0.0.1/pal1.bmp")});
    const auto folder = Files({Local(TestPicture("bmpsuite/g"))});
    auto text = std::make_unique<QMimeData>();
    text->setText("pal1.bmp");
    for (const QMimeData* refused : std::vector<const QMimeData*>{two.get(), remote.get(), folder.get(), text.get()}) {
        EXPECT_EQ(DragAndDrop(*window, *refused), std::make_pair(false, false)) << refused->text().toStdString();
        QApplication::processEvents();
    }
    EXPECT_EQ(window->PanelColorCount->Caption(), "Unique Colors");
    EXPECT_TRUE(FDialogs->Shown().empty());

    const auto one = Files({Local(TestPicture("bmpsuite/g/pal1.bmp"))});
    EXPECT_EQ(DragAndDrop(*window, *one), std::make_pair(true, true));
    QApplication::processEvents();
    EXPECT_EQ(window->PanelColorCount->Caption(), "Distinct Colors: 2");
    EXPECT_TRUE(FDialogs->Shown().empty());
}

TEST_F(WindowTest, OpenDialogStartsInTheLastFolderOfTheRunBefore) {
    const std::string folder = TestPicture("bmpsuite/g");
    {
        auto first = MakeWindow();
        Load(*first, std::nullopt);  // nothing remembered yet, nothing chosen
        Load(*first, folder + "/pal1.bmp");
        EXPECT_EQ(FDialogs->OpenFolderStarts().front(), "");
    }
    // Kept on disk in the settings folder, not only in this process.
    const std::string stored =
        FileText(std::filesystem::path(TQtTestEnvironment::SettingsFolder()) / "tintwright" / "tintwright.conf");
    EXPECT_NE(stored.find(std::filesystem::canonical(folder).string()), std::string::npos) << stored;

    auto second = MakeWindow();
    Load(*second, std::nullopt);
    EXPECT_EQ(FDialogs->OpenFileStarts().back(), "");
    EXPECT_EQ(std::filesystem::canonical(FDialogs->OpenFolderStarts().back()), std::filesystem::canonical(folder));
}

TEST_F(WindowTest, BuildWithoutUpdateServerAsksNothingAndHidesThePanel) {
    if (!BuiltInUpdateHost().empty()) GTEST_SKIP() << "built with an update server";
    const int64_t before = TIdStackUsage::Acquisitions();
    TTintwrightServices services;  // as the program starts
    services.Revealer = FRevealer;
    TTintwright window(std::move(services));
    EXPECT_EQ(TIdStackUsage::Acquisitions(), before);
    EXPECT_TRUE(FDialogs->Shown().empty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.PanelUpdate->isVisible());

    // The count moves as soon as a check goes to the network at all.
    const TRefusingPort refusing;
    TUpdateServer unreachable;
    unreachable.URL = "http://127.0.0.1:" + std::to_string(refusing.Port()) + "/";
    unreachable.ConnectTimeout = 500;
    auto checked = MakeWindow(UpdateCheckerFor(unreachable));
    EXPECT_GT(TIdStackUsage::Acquisitions(), before);
}
