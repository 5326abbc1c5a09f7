#include "ui/image_control.h"

#include <cstring>

#include <QEvent>
#include <QPainter>

#include "pictures/bitmap.h"
#include "ui/scaled_image.h"

namespace {

QImage BitmapToQImage(TBitmap& bitmap) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    if (bitmap.Empty() || width <= 0 || height <= 0) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    gdi::BitmapInfo info;
    info.Header.biWidth = width;
    info.Header.biHeight = -height;  // top-down, like QImage
    info.Header.biBitCount = 32;
    info.Header.biCompression = gdi::BI_RGB;
    if (static_cast<int64_t>(image.bytesPerLine()) == int64_t{width} * 4) {
        gdi::GetDIBits(bitmap.Handle(), 0, height, image.bits(), info);
    } else {
        std::vector<uint8_t> rows(static_cast<size_t>(width) * 4 * height);
        gdi::GetDIBits(bitmap.Handle(), 0, height, rows.data(), info);
        for (int y = 0; y < height; ++y)
            std::memcpy(image.scanLine(y), rows.data() + static_cast<size_t>(y) * width * 4,
                        static_cast<size_t>(width) * 4);
    }
    return image;
}

}  // namespace

QImage GraphicToQImage(TGraphic& graphic) {
    if (graphic.Empty()) return QImage();
    if (auto* bitmap = dynamic_cast<TBitmap*>(&graphic)) return BitmapToQImage(*bitmap);
    TBitmap rendered;
    rendered.Assign(&graphic);
    return BitmapToQImage(rendered);
}

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_StaticContents);
    FPicture.OnChange = [this](void*) { PictureChanged(); };
}

void TImage::SetCenter(bool value) {
    FCenter = value;
    update();
}

void TImage::SetProportional(bool value) {
    FProportional = value;
    update();
}

void TImage::SetStretch(bool value) {
    FStretch = value;
    update();
}

void TImage::BringToFront() {
    QWidget* parent = parentWidget();
    if (parent == nullptr) return;
    // Children are listed from the back to the front: settle just beneath
    // the backmost control that is not an image.
    for (QObject* child : parent->children()) {
        auto* sibling = qobject_cast<QWidget*>(child);
        if (sibling != nullptr && sibling != this && !sibling->isWindow() &&
            dynamic_cast<TImage*>(sibling) == nullptr) {
            stackUnder(sibling);
            return;
        }
    }
    raise();
}

void TImage::SendToBack() { lower(); }

void TImage::SetAlignClient(bool value) {
    QWidget* parent = parentWidget();
    if (value == FAlignClient || parent == nullptr) return;
    FAlignClient = value;
    if (value) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    } else {
        parent->removeEventFilter(this);
    }
}

bool TImage::eventFilter(QObject* watched, QEvent* event) {
    if (FAlignClient && watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void TImage::PictureChanged() {
    FShownValid = false;
    FPixelsSize = QSize();
    update();
}

void TImage::ShowPixels(const uint32_t* pixels, int width, int height) {
    FPicture.SetGraphic(nullptr);
    const TRect target =
        DestinationRect({width, height}, {this->width(), this->height()}, {FCenter, FProportional, FStretch});
    // In device pixels, so that a scaled screen draws the image one to one.
    const qreal ratio = devicePixelRatioF();
    const QSize size(qRound(target.Width() * ratio), qRound(target.Height() * ratio));
    FShown = ScaleNearest(pixels, width, height, width, size);
    FShown.setDevicePixelRatio(ratio);
    FShownValid = true;
    FPixelsSize = QSize(width, height);
    update();
}

QSize TImage::SourceSize() const {
    return FPixelsSize.isEmpty() ? QSize(FPicture.Width(), FPicture.Height()) : FPixelsSize;
}

namespace {

// The picture scaled to fill the client along its longer side, then shrunk
// along the other where it would overflow; the aspect is kept.
TImage::TExtent FitKeepingAspect(TImage::TExtent picture, TImage::TExtent client) {
    const double aspect = static_cast<double>(picture.Width) / picture.Height;
    if (picture.Width > picture.Height) {
        TImage::TExtent fit{client.Width, static_cast<int>(client.Width / aspect)};
        if (fit.Height > client.Height) fit = {static_cast<int>(client.Height * aspect), client.Height};
        return fit;
    }
    TImage::TExtent fit{static_cast<int>(client.Height * aspect), client.Height};
    if (fit.Width > client.Width) fit = {client.Width, static_cast<int>(client.Width / aspect)};
    return fit;
}

}  // namespace

TRect TImage::DestinationRect(TExtent picture, TExtent client, TFit fit) {
    TExtent shown = picture;
    const bool overflows = picture.Width > client.Width || picture.Height > client.Height;
    if (fit.Stretch || (fit.Proportional && overflows)) {
        const bool keepAspect = fit.Proportional && picture.Width > 0 && picture.Height > 0;
        shown = keepAspect ? FitKeepingAspect(picture, client) : client;
    }
    if (!fit.Center) return Rect(0, 0, shown.Width, shown.Height);
    const int dx = (client.Width - shown.Width) / 2;
    const int dy = (client.Height - shown.Height) / 2;
    return Rect(dx, dy, dx + shown.Width, dy + shown.Height);
}

TRect TImage::DestinationRect() const {
    const QSize source = SourceSize();
    return DestinationRect({source.width(), source.height()}, {width(), height()}, {FCenter, FProportional, FStretch});
}

const QImage& TImage::Shown() {
    if (!FShownValid) {
        FShown = FPicture.Graphic() != nullptr ? GraphicToQImage(*FPicture.Graphic()) : QImage();
        FShownValid = true;
    }
    return FShown;
}

void TImage::paintEvent(QPaintEvent*) {
    const QImage& image = Shown();
    if (image.isNull()) return;
    const TRect target = DestinationRect();
    QPainter painter(this);
    painter.drawImage(QRect(target.Left, target.Top, target.Width(), target.Height()), image);
}
