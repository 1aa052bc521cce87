#pragma once

#include "editor/support/CArchiveObject.h"

#include <cstdint>

class CArchiveWindow;
class QWidget;

// Each launcher shows a fresh form modally over owner, reads its result and
// discards the form. The result is whether anything was saved into the
// archive. Each save is a step of the undo history of `window`, when given.
bool ShowFortune(bool vbRW, bool vbNew, const CArchiveObject& roFortune, int32_t vlIndex,
                 QWidget* owner, CArchiveWindow* window = nullptr);
bool ShowHeader(const CArchiveObject& roFortune, QWidget* owner, CArchiveWindow* window = nullptr);
