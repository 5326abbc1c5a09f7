#pragma once
// An image control: shows a TPicture by the platform's rule for Center,
// Proportional and Stretch. The picture is converted to a QImage once per
// change, not once per paint.

#include <QImage>
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
    bool FCenter = false;
    bool FProportional = false;
    bool FStretch = false;
    bool FAlignClient = false;
};

// Renders a picture's pixels as the screen shows them: blue, green and red of
// each pixel, the fourth byte ignored. A null image for an empty graphic.
QImage GraphicToQImage(TGraphic& graphic);
