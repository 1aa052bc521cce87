#pragma once

#include <cstdint>
#include <QString>
#include <QStringList>

class QWidget;

// Shows a fresh frmSelect with the archive names modally over owner; true
// when rsFortune holds a chosen name.
bool ShowSelect(const QStringList& sFortunes, QString& rsFortune, QWidget* owner);

// Shows a fresh frmExport modally over owner and puts its length into
// rlLength: -1 no limit, 0 cancelled, else the limit in characters. False
// when the length is 0.
bool ShowExport(int32_t& rlLength, QWidget* owner);
