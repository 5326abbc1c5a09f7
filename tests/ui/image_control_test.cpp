// The image control: where a picture is drawn and what it draws there. Its
// place among the window's controls is tested with the window.
#include <gtest/gtest.h>

#include <vector>

#include <QImage>
#include <QWidget>

#include "pictures/bitmap.h"
#include "pictures/canvas.h"
#include "tests/ui/qt_test_environment.h"
#include "ui/image_control.h"

namespace {

// A platform bitmap of one colour (red in the low byte).
void FillBitmap(TBitmap& bitmap, int width, int height, TColor color) {
    bitmap.SetSize(width, height);
    bitmap.SetPixelFormat(pf24bit);
    bitmap.Canvas().Brush().Color = color;
    bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

constexpr TColor PictureColor = 0x3264C8;  // red 200, green 100, blue 50
const QColor PictureQColor(200, 100, 50);
const QColor Background(10, 20, 30);

QImage Rendered(TImage& image) { return image.parentWidget()->grab().toImage(); }

}  // namespace

TEST(ImageControl, DestinationFollowsCenterProportionalAndStretch) {
    const struct {
        int Width, Height;
        bool Center, Proportional, Stretch;
        TRect Expected;
    } cases[] = {
        // imgSource: 545 × 410, centred and proportional.
        {1000, 500, true, true, false, {0, 69, 545, 341}},
        {100, 80, true, true, false, {222, 165, 322, 245}},
        {545, 410, true, true, false, {0, 0, 545, 410}},
        {400, 800, true, true, false, {170, 0, 375, 410}},
        {2000, 500, true, true, false, {0, 137, 545, 273}},
        {546, 410, true, true, false, {0, 0, 545, 409}},
        // Stretch enlarges; proportional stretching keeps the aspect.
        {100, 80, false, false, true, {0, 0, 545, 410}},
        {100, 80, false, true, true, {0, 0, 512, 410}},
        // ImageGradient: nothing set, drawn as it is at the top-left.
        {2000, 500, false, false, false, {0, 0, 2000, 500}},
    };
    for (const auto& row : cases)
        EXPECT_EQ(
            TImage::DestinationRect({row.Width, row.Height}, {545, 410}, {row.Center, row.Proportional, row.Stretch}),
            row.Expected)
            << row.Width << " x " << row.Height;
}

TEST(ImageControl, DrawsThePicturesColoursIntoItsRectangleOnly) {
    QWidget parent;
    parent.resize(545, 410);
    QPalette colours = parent.palette();
    colours.setColor(QPalette::Window, Background);
    parent.setPalette(colours);
    parent.setAutoFillBackground(true);
    TImage image(&parent);
    image.setGeometry(0, 0, 545, 410);
    image.SetCenter(true);
    image.SetProportional(true);

    FillBitmap(image.Picture().Bitmap(), 100, 80, PictureColor);
    QImage shot = Rendered(image);
    EXPECT_EQ(shot.pixelColor(222, 165), PictureQColor);
    EXPECT_EQ(shot.pixelColor(321, 244), PictureQColor);
    EXPECT_EQ(shot.pixelColor(221, 165), Background);
    EXPECT_EQ(shot.pixelColor(322, 244), Background);

    // A new picture is shown at once, scaled down into its rectangle.
    FillBitmap(image.Picture().Bitmap(), 1000, 500, PictureColor);
    shot = Rendered(image);
    EXPECT_EQ(shot.pixelColor(0, 69), PictureQColor);
    EXPECT_EQ(shot.pixelColor(544, 340), PictureQColor);
    EXPECT_EQ(shot.pixelColor(0, 68), Background);
    EXPECT_EQ(shot.pixelColor(544, 341), Background);
}

TEST(ImageControl, ShownPixelsAreSampledOnceAtTheDrawnSize) {
    QWidget parent;
    parent.resize(545, 410);
    TImage image(&parent);
    image.setGeometry(0, 0, 545, 410);
    image.SetCenter(true);
    image.SetProportional(true);
    // Twice the control's size: column x carries red x / 8, row y green y / 8.
    const int width = 1090, height = 820;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = (x / 8) << 16 | (y / 8) << 8 | 7;

    image.ShowPixels(pixels.data(), width, height);
    pixels.assign(pixels.size(), 0);  // nothing of the source is kept
    EXPECT_EQ(image.SourceSize(), QSize(width, height));
    EXPECT_EQ(image.DestinationRect(), Rect(0, 0, 545, 410));
    const qint64 made = image.Shown().cacheKey();
    EXPECT_EQ(image.Shown().size(), QSize(545, 410));
    const QImage shot = Rendered(image);
    EXPECT_EQ(image.Shown().cacheKey(), made);  // painting made nothing new
    for (const QPoint at : {QPoint(0, 0), QPoint(100, 37), QPoint(544, 409)})
        EXPECT_EQ(shot.pixelColor(at), QColor((2 * at.x() + 1) / 8, (2 * at.y() + 1) / 8, 7))
            << at.x() << ", " << at.y();

    // A picture assigned afterwards is shown by its own size again.
    FillBitmap(image.Picture().Bitmap(), 100, 80, PictureColor);
    EXPECT_EQ(image.SourceSize(), QSize(100, 80));
    EXPECT_EQ(Rendered(image).pixelColor(222, 165), PictureQColor);
}
