#pragma once

#include <QString>

// The text without leading and trailing space characters (U+0020 only; tabs
// and line breaks stay).
inline QString TrimSpaces(const QString& vsText)
{
    qsizetype first = 0;
    qsizetype last = vsText.size();
    while (first < last && vsText.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && vsText.at(last - 1) == QLatin1Char(' '))
        --last;
    return vsText.mid(first, last - first);
}
