#include "editor/archives/frmExport.h"

#include "desktop/Prompts.h"
#include "editor/editing/TrimSpaces.h"
#include "editor/support/FormParts.h"
#include "editor/support/TwipsGeometry.h"

#include <algorithm>
#include <cmath>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

using namespace zrv::desktop;
using TwipsGeometry::Rect;

frmExport::frmExport(QWidget* owner)
    : CFormDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                             Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export Options"));
    BuildControls();
    Form_Load();
}

void frmExport::BuildControls()
{
    setFixedSize(TwipsGeometry::Size(4860, 1410));

    lblCap = new QLabel(this);
    lblCap->setObjectName(QStringLiteral("lblCap"));
    lblCap->setGeometry(Rect(120, 270, 3525, 405));
    lblCap->setTextFormat(Qt::PlainText);
    lblCap->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    txtCharLength = new QLineEdit(this);
    txtCharLength->setObjectName(QStringLiteral("txtCharLength"));
    txtCharLength->setGeometry(Rect(3870, 240, 735, 375));

    Line1 = FormParts::SunkenLine(this, 120, 840, 4680);

    // Enter presses a button that has the focus; OK is the default otherwise.
    cmdOK = FormParts::Button(this, "cmdOK", QStringLiteral("OK"), true);
    cmdOK->setGeometry(Rect(2400, 960, 1125, 345));
    cmdOK->setDefault(true);
    cmdCancel = FormParts::Button(this, "cmdCancel", QStringLiteral("Cancel"), true);
    cmdCancel->setGeometry(Rect(3630, 960, 1125, 345));

    FormParts::TabChain({txtCharLength, cmdOK, cmdCancel});
    connect(cmdOK, &QPushButton::clicked, this, &frmExport::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmExport::cmdCancel_Click);
}

// Two lines; the label breaks its lines at a line feed (CR LF elsewhere).
void frmExport::Form_Load()
{
    lblCap->setText(QStringLiteral("Maximum character length of Fortunes to export:") +
                    QLatin1Char('\n') + QStringLiteral("(Leave blank for none)"));
    FitFont(lblCap);
}

// The desktop's font may be wider than the one the form was laid out for: a
// smaller size keeps every line of the label whole.
void frmExport::FitFont(QLabel* label)
{
    constexpr double kSmallest = 6;
    QFont font = label->font();
    for (;;) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& line : label->text().split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const int lines = static_cast<int>(label->text().count(QLatin1Char('\n'))) + 1;
        const bool fits =
            widest <= label->width() && metrics.lineSpacing() * lines <= label->height();
        if (fits || font.pointSizeF() - 0.5 < kSmallest)
            break;
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
}

std::optional<double> frmExport::ParseLength(const QString& vsText)
{
    bool ok = false;
    const double value = QLocale().toDouble(TrimSpaces(vsText), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int16_t frmExport::ToInteger16(double vdValue)
{
    // nearbyint rounds halves to even in the default rounding mode.
    const double rounded = std::nearbyint(vdValue);
    if (rounded > INT16_MAX)
        return INT16_MAX;
    if (rounded < INT16_MIN)
        return INT16_MIN;
    return static_cast<int16_t>(rounded);
}

int32_t frmExport::GetLength() const
{
    if (TrimSpaces(txtCharLength->text()).isEmpty())
        return -1;
    const std::optional<double> value = ParseLength(txtCharLength->text());
    return value ? ToInteger16(*value) : 0;
}

// Blank, or a number that is at least 1 as a 16-bit integer. vbTell says
// why not.
bool frmExport::LengthAccepted(bool vbTell)
{
    if (TrimSpaces(txtCharLength->text()).isEmpty())
        return true;
    const std::optional<double> value = ParseLength(txtCharLength->text());
    if (!value) {
        if (vbTell)
            MsgBox(QStringLiteral("The character length must be a number."),
                   vbOKOnly | vbInformation, QStringLiteral("Invalid length"), this);
        return false;
    }
    if (ToInteger16(*value) < 1) {
        if (vbTell)
            MsgBox(QStringLiteral("The character length must be greater than zero,"),
                   vbOKOnly | vbInformation, QStringLiteral("Invalid length"), this);
        return false;
    }
    return true;
}

void frmExport::cmdOK_Click()
{
    if (!LengthAccepted(true)) {
        txtCharLength->setFocus();
        return;
    }
    done(QDialog::Accepted);
}

void frmExport::cmdCancel_Click()
{
    txtCharLength->setText(QStringLiteral("0"));
    done(QDialog::Rejected);
}

// The title bar's close button records no choice: the box is read as it
// stands. Text that OK would refuse counts as Cancel, so no export runs
// with a length nobody confirmed.
void frmExport::closeEvent(QCloseEvent* event)
{
    if (!LengthAccepted(false))
        txtCharLength->setText(QStringLiteral("0"));
    done(QDialog::Rejected);
    event->accept();
}

void frmExport::FirstShow()
{
    const QWidget* owner = parentWidget();
    const QRect area =
        owner != nullptr ? owner->frameGeometry() : QRect(QPoint(), TwipsGeometry::ScreenPixels());
    const QRect outer = frameGeometry();
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
    txtCharLength->setFocus();
}
