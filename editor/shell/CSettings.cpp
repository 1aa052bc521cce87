#include "editor/shell/CSettings.h"

#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"
#include "editor/support/TwipsGeometry.h"

#include <cmath>
#include <limits>
#include <QWidget>

const QString CSettings::KeyPath = QStringLiteral("Software\\ZorvaTools\\ZorvaFortune Editor");

namespace {

std::optional<QString> ReadSetting(const QString& name)
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_CURRENT_USER, CSettings::KeyPath, true);
        QString value = registry.ReadValue(name);
        registry.CloseKey();
        return value;
    } catch (const EditorError& error) {
        // Missing on a first start; the default stands.
        qCDebug(lcEditor).noquote() << "setting" << name << "not read:" << DescribeFailure(error);
        return std::nullopt;
    }
}

void WriteSetting(const QString& name, const QString& value)
{
    try {
        CRegistry registry;
        registry.OpenKey(HKEY_CURRENT_USER, CSettings::KeyPath, true);
        registry.WriteValue(name, value);
        registry.CloseKey();
    } catch (const EditorError& error) {
        // A failed write leaves the stored value; the next one is still written.
        qCWarning(lcEditor).noquote()
            << "setting" << name << "not written:" << DescribeFailure(error);
    }
}

void LoadFlag(const QString& name, bool& member)
{
    if (const std::optional<QString> text = ReadSetting(name))
        member = text->compare(QStringLiteral("1"), Qt::CaseInsensitive) == 0;
}

void LoadNumber(const QString& name, int32_t& member)
{
    if (const std::optional<QString> text = ReadSetting(name)) {
        if (const std::optional<int32_t> number = CSettings::ParseNumber(*text))
            member = *number;
        else
            qCWarning(lcEditor) << "setting" << name << "is not a number:" << *text;
    }
}

QString FlagText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

int32_t CSettings::RoundHalfEven(int64_t numerator, int64_t denominator)
{
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const int64_t twice = remainder * 2;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return static_cast<int32_t>(quotient);
}

std::optional<int32_t> CSettings::ParseNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // nearbyint rounds halves to even in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int32_t>::min() ||
        rounded > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

void CSettings::SetDefaults(int32_t screenWidth, int32_t screenHeight)
{
    HideToolbar = false;
    HideHeader = false;
    SavedWindowState = StateMaximised;
    Saved.Top = RoundHalfEven(int64_t{15} * screenHeight, 100);
    Saved.Height = RoundHalfEven(int64_t{70} * screenHeight, 100);
    Saved.Left = RoundHalfEven(int64_t{25} * screenWidth, 100);
    Saved.Width = RoundHalfEven(int64_t{50} * screenWidth, 100);
}

void CSettings::Load()
{
    LoadFlag(QStringLiteral("HideToolbar"), HideToolbar);
    LoadFlag(QStringLiteral("HideHeader"), HideHeader);
    LoadNumber(QStringLiteral("WindowState"), SavedWindowState);
    LoadNumber(QStringLiteral("Top"), Saved.Top);
    LoadNumber(QStringLiteral("Height"), Saved.Height);
    LoadNumber(QStringLiteral("Left"), Saved.Left);
    LoadNumber(QStringLiteral("Width"), Saved.Width);
}

void CSettings::Save(int32_t windowState, const Placement& current) const
{
    WriteSetting(QStringLiteral("HideToolbar"), FlagText(HideToolbar));
    WriteSetting(QStringLiteral("HideHeader"), FlagText(HideHeader));
    WriteSetting(QStringLiteral("WindowState"), QString::number(windowState));
    if (windowState != StateNormal)
        return;
    WriteSetting(QStringLiteral("Top"), QString::number(current.Top));
    WriteSetting(QStringLiteral("Height"), QString::number(current.Height));
    WriteSetting(QStringLiteral("Left"), QString::number(current.Left));
    WriteSetting(QStringLiteral("Width"), QString::number(current.Width));
}

CSettings::Placement CSettings::PlacementOf(const QWidget& window)
{
    const QRect outer = window.frameGeometry();
    return {TwipsGeometry::TwipsY(outer.top()), TwipsGeometry::TwipsY(outer.height()),
            TwipsGeometry::TwipsX(outer.left()), TwipsGeometry::TwipsX(outer.width())};
}
