// The window's layout at 96 dots per inch; Qt scales it to the screen.

#include "app/main_window.h"

namespace {

constexpr int ClientWidth = 583;
constexpr int ClientHeight = 530;
constexpr int WindowFontHeight = 12;  // pixels, 9 points
constexpr int ButtonFontHeight = 16;  // pixels, 12 points

TImage* NewImage(QWidget* parent, int left, int top, int width, int height) {
    auto* image = new TImage(parent);
    image->setGeometry(left, top, width, height);
    return image;
}

TButton* NewButton(QWidget* parent, const char* caption, int left, int top) {
    auto* button = new TButton(parent, caption);
    button->setGeometry(left, top, 347, 25);
    button->setFont(WindowFont(ButtonFontHeight));
    return button;
}

TPanel* NewPanel(QWidget* parent, const char* caption, int left, int top, int width, int height) {
    auto* panel = new TPanel(parent, caption);
    panel->setGeometry(left, top, width, height);
    return panel;
}

}  // namespace

void TTintwright::CreateControls() {
    setWindowTitle(MainWindowCaption);
    resize(ClientWidth, ClientHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ToQColor(clBtnFace));
    colours.setColor(QPalette::WindowText, ToQColor(clSystemColor | gdi::COLOR_WINDOWTEXT));
    setPalette(colours);
    setAutoFillBackground(true);
    setFont(WindowFont(WindowFontHeight));

    // Created in this order, so each lies in front of those before it.
    imgSource = NewImage(this, 16, 112, 545, 410);
    imgSource->SetCenter(true);
    imgSource->SetProportional(true);
    ImageGradient = NewImage(this, 392, 65, 49, 24);

    btnLoadImage = NewButton(this, "Load Source Image (BMP, PNG, JPG, TIFF, GIF)", 16, 16);
    btnLoadImage->OnClick = [this] { btnLoadImageClick(); };
    btnGeneratePalette = NewButton(this, "Generate Palette (BMP)", 16, 63);
    btnGeneratePalette->OnClick = [this] { btnGeneratePaletteClick(); };
    setTabOrder(btnLoadImage, btnGeneratePalette);

    PanelColorCount = NewPanel(this, "Unique Colors", 409, 17, 152, 25);
    PanelUpdate = NewPanel(this, "! Update !", 496, 65, 65, 23);
    PanelUpdate->SetSolidColor(ToQColor(clRed));
}
