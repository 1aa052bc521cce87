#pragma once

#include "editor/support/TwipsGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

// Placing controls of a form in twips, as its layout routines describe them.
namespace TwipsPlacement {

// A negative size is skipped, as a failing layout step would be.
inline void Place(QWidget* control, int left, int top, int width, int height)
{
    if (width < 0 || height < 0)
        return;
    control->setGeometry(TwipsGeometry::Rect(left, top, width, height));
}

inline int WidthOf(const QWidget* control) { return TwipsGeometry::TwipsX(control->width()); }
inline int HeightOf(const QWidget* control) { return TwipsGeometry::TwipsY(control->height()); }
inline int LeftOf(const QWidget* control) { return TwipsGeometry::TwipsX(control->x()); }
inline int TopOf(const QWidget* control) { return TwipsGeometry::TwipsY(control->y()); }

// top = (screen height - window height) / 2, left likewise.
inline void CenterOnScreen(QWidget& form)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    const QSize frame = form.frameGeometry().size();
    form.move(area.x() + (area.width() - frame.width()) / 2,
              area.y() + (area.height() - frame.height()) / 2);
}

} // namespace TwipsPlacement
