#pragma once

#include <QList>
#include <QPixmap>

// The eleven 32 x 32 toolbar pictures, painted in three looks: normal,
// disabled (greyed) and hot (under the mouse). Image numbers count from 1:
// New, Open, Cut, Copy, Paste, Add, Edit, Delete, View, Export, Import.
namespace ToolbarArt {

enum class Look { Normal, Disabled, Hot };

inline constexpr int ImageCount = 11;
inline constexpr int ImageSize = 32;

QList<QPixmap> ImageList(Look look);

} // namespace ToolbarArt
