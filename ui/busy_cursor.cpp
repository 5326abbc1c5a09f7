#include "ui/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

TBusyCursor::TBusyCursor() {
    if (QGuiApplication::instance() == nullptr) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    FActive = true;
}

void TBusyCursor::End() {
    if (!FActive) return;
    FActive = false;
    QGuiApplication::restoreOverrideCursor();
}
