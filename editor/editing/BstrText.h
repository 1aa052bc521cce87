#pragma once

#include "runtime/com/BString.h"

#include <QString>

// Texts cross IFortune as counted wide strings; QString holds the same UTF-16.
inline BString ToBstr(const QString& vsText)
{
    return BString(std::u16string_view(reinterpret_cast<const char16_t*>(vsText.utf16()),
                                       static_cast<size_t>(vsText.size())));
}

inline QString FromBstr(const BString& vsText)
{
    const std::u16string_view text = vsText.view();
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
