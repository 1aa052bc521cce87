#include "editor/archives/modSpreadsheet.h"

#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace modSpreadsheet {

namespace {

const QString kFileClassKey = QStringLiteral("Software\\Classes\\.xls");
const QString kSheetClass = QStringLiteral("Excel.Sheet.");

// The version after "Excel.Sheet.", converted as an integer would be:
// rounded half to even, and no answer beyond the 16-bit range.
std::optional<int> SheetClassVersion(const QString& vsClass)
{
    bool ok = false;
    const double version = vsClass.mid(kSheetClass.size()).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(version))
        return std::nullopt;
    const double rounded = std::nearbyint(version);
    if (rounded < INT16_MIN || rounded > INT16_MAX)
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace

bool ExcelInstalled()
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_LOCAL_MACHINE, kFileClassKey, false);
        const int32_t count = registry.NumOfValues();
        for (int32_t i = 1; i <= count; ++i) {
            QString name;
            QString value;
            registry.ReadValueByNum(i, name, value);
            if (!value.startsWith(kSheetClass, Qt::CaseInsensitive))
                continue;
            const std::optional<int> version = SheetClassVersion(value);
            return version && *version > 4;
        }
    } catch (const EditorError& error) {
        qCInfo(lcEditor).noquote() << "no spreadsheet application:" << error.Description();
    }
    return false;
}

} // namespace modSpreadsheet
