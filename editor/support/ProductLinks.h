#pragma once

#include <QString>

// The product's web addresses and its maker's notice.
namespace ProductLinks {

inline const QString UserGuideUrl =
    QStringLiteral("https://zorva.example.org/fortune/editor/guide/");
inline const QString HomePageUrl = QStringLiteral("https://zorva.example.org/fortune/");
inline const QString MakerUrl = QStringLiteral("https://zorva.example.org/");
inline const QString MakerNotice = QStringLiteral("\u00A9 2026 ZorvaTools. All rights reserved.");

} // namespace ProductLinks
