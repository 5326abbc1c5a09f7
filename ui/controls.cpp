#include "ui/controls.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/application.h"

QFont WindowFont(int pixelHeight) {
    QFont font;
    // Selawik is drawn to Segoe UI's metrics; of the common fonts, DejaVu
    // Sans Condensed comes closest in width, so the button captions still
    // fit their 347 pixels. Plain DejaVu Sans would not.
    font.setFamilies(
        {"Segoe UI", "Selawik", "DejaVu Sans Condensed", "Open Sans", "Noto Sans", "Liberation Sans", "DejaVu Sans"});
    font.setPixelSize(pixelHeight);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QColor ToQColor(TColor color) {
    const gdi::COLORREF rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TButton::TButton(QWidget* parent, const std::string& caption) : QPushButton(QString::fromStdString(caption), parent) {
    connect(this, &QPushButton::clicked, this, [this] {
        if (!OnClick) return;
        // Report here rather than let the exception cross Qt's own frames.
        try {
            OnClick();
        } catch (...) {
            ShowCurrentException();
        }
    });
}

void TButton::keyPressEvent(QKeyEvent* event) {
    // Outside a dialog Qt leaves these keys to the parent; users of push
    // buttons expect them to press the one that has the focus. A held key
    // presses once; Enter of the keypad carries the keypad modifier.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) {
        if (!event->isAutoRepeat()) click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

TPanel::TPanel(QWidget* parent, const std::string& caption) : QWidget(parent), FCaption(caption) {
    setFocusPolicy(Qt::NoFocus);
}

void TPanel::SetCaption(const std::string& caption) {
    FCaption = caption;
    update();
}

void TPanel::SetSolidColor(const QColor& color) {
    FColor = color;
    FSolid = true;
    update();
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    if (FSolid) painter.fillRect(area, FColor);
    // A raised bevel of width 1: light above and left, shadow below and right.
    const QPalette& colours = palette();
    painter.setPen(colours.color(QPalette::Light));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(colours.color(QPalette::Dark));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
    painter.setPen(colours.color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(area, Qt::AlignCenter, QString::fromStdString(FCaption));
}
