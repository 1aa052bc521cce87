#pragma once

#include <QString>

// Wildcard match of a whole text: "*" stands for any sequence of characters,
// "?" for exactly one; every other character stands for itself.
bool MatchesPattern(const QString& text, const QString& pattern, Qt::CaseSensitivity cs);
