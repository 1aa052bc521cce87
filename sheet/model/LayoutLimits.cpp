#include "sheet/model/LayoutLimits.h"

#include "sheet/model/DispatchError.h"

#include <cmath>

namespace zrv::sheet {

namespace {

double Checked(double value, double limit, const char* what)
{
    if (!(value >= 0 && value <= limit)) // also refuses NaN
        Fail(std::string(what) + " must be between 0 and " +
                 std::to_string(static_cast<int>(limit)) + ".",
             E_INVALIDARG);
    return value;
}

} // namespace

double CheckedRowHeight(double points)
{
    return Checked(points, 409, "A row height (points)");
}

double CheckedColumnWidth(double characters)
{
    return Checked(characters, 255, "A column width (characters)");
}

} // namespace zrv::sheet
