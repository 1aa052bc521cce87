#pragma once

#include <QApplication>
#include <QWidget>

// The owner of a dialog shown without one: the main window.
inline QWidget* FormOwner(QWidget* owner)
{
    if (owner != nullptr)
        return owner;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmMain"))
            return window;
    }
    return nullptr;
}
