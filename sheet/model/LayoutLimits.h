#pragma once

// Row heights (points) and column widths (characters) a sheet can hold;
// anything else fails the call (DispatchError).

namespace zrv::sheet {

double CheckedRowHeight(double points);
double CheckedColumnWidth(double characters);

} // namespace zrv::sheet
