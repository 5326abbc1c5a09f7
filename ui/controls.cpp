#include "ui/controls.h"

#include <QPainter>

#include "ui/application.h"

QFont WindowFont(int pixelHeight) {
    QFont font;
    font.setFamilies({"Segoe UI", "Selawik", "Open Sans", "Noto Sans", "DejaVu Sans", "Liberation Sans"});
    font.setPixelSize(pixelHeight);
    return font;
}

TButton::TButton(QWidget* parent, const std::string& caption)
    : QPushButton(QString::fromStdString(caption), parent) {
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
