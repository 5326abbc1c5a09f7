// The window as it starts: layout, stacking, background gradient, and the
// report of a failing start-up step.
#include <QImage>
#include <QPushButton>

#include "tests/app/window_test_support.h"

namespace {

struct TRGB {
    int R, G, B;
    bool operator==(const TRGB&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TRGB& rgb) {
    return out << "(" << rgb.R << ", " << rgb.G << ", " << rgb.B << ")";
}

// Pixel (x, y) of the gradient picture (24 bits: blue, green, red).
TRGB GradientPixel(TTintwright& window, int x, int y) {
    const uint8_t* pixel = window.ImageGradient->Picture().Bitmap().ScanLine(y) + 3 * x;
    return {pixel[2], pixel[1], pixel[0]};
}

TRGB ScreenPixel(const QImage& shot, int x, int y) {
    const QColor colour = shot.pixelColor(x, y);
    return {colour.red(), colour.green(), colour.blue()};
}

}  // namespace

TEST_F(WindowTest, LayoutAt96DotsPerInch) {
    auto window = MakeWindow();
    EXPECT_EQ(window->size(), QSize(583, 530));
    EXPECT_TRUE(window->windowTitle().startsWith("Hue Smith V1.0 "));
    const struct {
        QWidget* Control;
        QRect Geometry;
        QString Caption;
        int FontHeight;
    } controls[] = {
        {window->imgSource, {16, 112, 545, 410}, "", 12},
        {window->ImageGradient, {0, 0, 583, 530}, "", 12},  // aligned to the client area
        {window->btnLoadImage, {16, 16, 347, 25}, "Load Source Image (BMP, PNG, JPG, TIFF, GIF)", 16},
        {window->btnGeneratePalette, {16, 63, 347, 25}, "Generate Palette (BMP)", 16},
        {window->PanelColorCount, {409, 17, 152, 25}, "Unique Colors", 12},
        {window->PanelUpdate, {496, 65, 65, 23}, "! Update !", 12},
    };
    for (const auto& control : controls) {
        auto* button = dynamic_cast<QPushButton*>(control.Control);
        auto* panel = dynamic_cast<TPanel*>(control.Control);
        const QString caption = button ? button->text() : panel ? QString::fromStdString(panel->Caption()) : "";
        EXPECT_EQ(control.Control->geometry(), control.Geometry) << control.Caption.toStdString();
        EXPECT_EQ(caption, control.Caption);
        EXPECT_EQ(control.Control->font().pixelSize(), control.FontHeight) << control.Caption.toStdString();
        EXPECT_TRUE(control.Control->isVisible()) << control.Caption.toStdString();
        // Whatever font stands in for the missing one, the caption fits.
        EXPECT_LE(control.Control->fontMetrics().horizontalAdvance(caption), control.Geometry.width() - 8);
    }

    // Tab order: the two buttons; panels and images take no focus.
    std::vector<QWidget*> tabStops;
    for (QWidget* widget = window->nextInFocusChain(); widget != window.get(); widget = widget->nextInFocusChain())
        if (widget->focusPolicy() & Qt::TabFocus) tabStops.push_back(widget);
    EXPECT_EQ(tabStops, (std::vector<QWidget*>{window->btnLoadImage, window->btnGeneratePalette}));

    // Stacking, back to front: the gradient, the picture, then the rest.
    EXPECT_EQ(window->children().indexOf(window->ImageGradient), 0);
    EXPECT_EQ(window->children().indexOf(window->imgSource), 1);
}

TEST_F(WindowTest, GradientRowsAndWhatShowsThroughThePanels) {
    auto window = MakeWindow();
    TBitmap& gradient = window->ImageGradient->Picture().Bitmap();
    EXPECT_EQ(gradient.Width(), 583);
    EXPECT_EQ(gradient.Height(), 530);
    EXPECT_EQ(gradient.PixelFormat(), pf24bit);
    const struct {
        int Row;
        TRGB Colour;
    } rows[] = {
        {0, {128, 128, 0}}, {1, {128, 128, 0}}, {100, {139, 139, 33}}, {291, {160, 160, 96}}, {529, {186, 186, 174}}};
    for (const auto& row : rows) {
        EXPECT_EQ(GradientPixel(*window, 0, row.Row), row.Colour) << "row " << row.Row;
        EXPECT_EQ(GradientPixel(*window, 582, row.Row), row.Colour) << "row " << row.Row;
    }

    // On screen: the gradient behind everything, the count panel letting it
    // through, the update panel solid red.
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(ScreenPixel(shot, 2, 100), (TRGB{139, 139, 33}));
    EXPECT_EQ(ScreenPixel(shot, 412, 20), GradientPixel(*window, 412, 20));
    EXPECT_EQ(ScreenPixel(shot, 499, 68), (TRGB{255, 0, 0}));

    // Enlarging moves no control and does not repaint the gradient.
    window->resize(800, 700);
    EXPECT_EQ(window->ImageGradient->geometry(), QRect(0, 0, 800, 700));
    EXPECT_EQ(window->btnGeneratePalette->geometry(), QRect(16, 63, 347, 25));
    EXPECT_EQ(gradient.Width(), 583);
}

TEST_F(WindowTest, GradientTiesGoToTheEvenValue) {
    auto window = MakeWindow();
    window->resize(128, 100);  // 128 steps
    window->UpdateGradient();
    EXPECT_EQ(GradientPixel(*window, 127, 1), (TRGB{128, 128, 2}));  // 128.5 and 1.5
    EXPECT_EQ(GradientPixel(*window, 127, 3), (TRGB{130, 130, 4}));  // 129.5 and 4.5

    window->resize(530, 530);  // as tall as wide: the last row reaches the end colour
    window->UpdateGradient();
    EXPECT_EQ(GradientPixel(*window, 0, 529), (TRGB{192, 192, 192}));
}
