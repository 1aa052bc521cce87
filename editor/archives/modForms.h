#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Shows a fresh frmSelect with the archive names modally over owner (the
// main window when none is given); true when rsFortune holds a chosen name.
bool ShowSelect(const QStringList& sFortunes, QString& rsFortune, QWidget* owner = nullptr);
