#pragma once
// An image control: shows a TPicture by the platform's rule for Center,
// Proportional and Stretch. The picture is converted to a QImage once per
// change, not once per paint. Pixels too large to keep a second copy of are
// shown through ShowPixels instead, sampled once at the size drawn.

#include <cstdint>

#include <QImage>
#include <QSize>
#include <QWidget>

#include "pictures/picture.h"

class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent);

    TPicture& Picture() { return FPicture; }
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);

    // Image controls lie beneath the buttons and panels, whatever their
    // order: these move the control only among the image controls.
    void BringToFront();
    void SendToBack();
    // Keeps the control covering its parent's whole client area.
    void SetAlignClient(bool value);
    bool AlignClient() const { return FAlignClient; }

    // Shows width × height pixels (blue, green, red and an ignored fourth
    // byte each, rows without gaps) without keeping them: they are sampled
    // once, at the size of the destination rectangle on this screen, and the
    // picture is emptied. A later change of the picture ends this.
    void ShowPixels(const uint32_t* pixels, int width, int height);
    // The size the destination rectangle is worked out from: that of the
    // pixels shown by ShowPixels, otherwise the picture's.
    QSize SourceSize() const;

    struct TExtent {
        int Width;
        int Height;
    };
    struct TFit {
        bool Center;
        bool Proportional;
        bool Stretch;
    };
    // Where a picture of the given extent is drawn in a control whose client
    // area has the other.
    static TRect DestinationRect(TExtent picture, TExtent client, TFit fit);
    TRect DestinationRect() const;
    // The picture as last converted for painting (null when empty).
    const QImage& Shown();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PictureChanged();

    TPicture FPicture;
    QImage FShown;
    bool FShownValid = false;
    QSize FPixelsSize;  // empty unless ShowPixels made FShown
    bool FCenter = false;
    bool FProportional = false;
    bool FStretch = false;
    bool FAlignClient = false;
};

// Renders a picture's pixels as the screen shows them: blue, green and red of
// each pixel, the fourth byte ignored. A null image for an empty graphic.
QImage GraphicToQImage(TGraphic& graphic);
