#pragma once

#include <cstdint>
#include <QString>
#include <QStringList>

class QWidget;

// Shows a fresh frmSelect with the archive names modally over owner (the
// main window when none is given); true when rsFortune holds a chosen name.
bool ShowSelect(const QStringList& sFortunes, QString& rsFortune, QWidget* owner = nullptr);

// Shows a fresh frmExport modally over owner (the main window when none is
// given) and puts its length into rlLength: -1 no limit, 0 cancelled, else
// the limit in characters. False when the length is 0.
bool ShowExport(int32_t& rlLength, QWidget* owner = nullptr);
