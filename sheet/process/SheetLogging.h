#pragma once

#include <QLoggingCategory>

// Failures the caller never sees (a workbook that could not be shown).
Q_DECLARE_LOGGING_CATEGORY(lcSheet)
