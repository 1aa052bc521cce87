#pragma once

#include "component/IFortune.h"

#include <cstdint>

class QWidget;

// Each launcher shows a fresh form modally over owner (the main window when
// none is given), reads its result and discards the form. The result is
// whether anything was saved into the archive.
bool ShowFortune(bool vbRW, bool vbNew, IFortune* roFortune, int32_t vlIndex,
                 QWidget* owner = nullptr);
bool ShowHeader(IFortune* roFortune, QWidget* owner = nullptr);
