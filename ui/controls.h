#pragma once
// The button and panel controls of the window.

#include <functional>
#include <string>

#include <QColor>
#include <QPushButton>
#include <QWidget>

#include "pictures/graphic.h"

// The window's fonts: "Segoe UI" at the given character height in pixels
// (at 96 dots per inch), with close fallbacks where that font is missing.
QFont WindowFont(int pixelHeight);

// A colour of the platform (system colours resolved) as Qt's.
QColor ToQColor(TColor color);

class TButton : public QPushButton {
public:
    TButton(QWidget* parent, const std::string& caption);
    // Called on a click; an exception it raises is shown by the error report.
    std::function<void()> OnClick;

protected:
    // Return and Enter press the focused button, as Space does.
    void keyPressEvent(QKeyEvent* event) override;
};

class TPanel : public QWidget {
public:
    TPanel(QWidget* parent, const std::string& caption);

    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    // A solid fill in this colour; without one the parent shows behind the caption.
    void SetSolidColor(const QColor& color);
    bool HasSolidColor() const { return FSolid; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string FCaption;
    QColor FColor;
    bool FSolid = false;
};
