#include "editor/support/frmAbout.h"

#include "desktop/FramePlacement.h"
#include "desktop/ShellExecute.h"
#include "desktop/WindowHandles.h"
#include "editor/support/FormParts.h"
#include "editor/support/modShellEx.h"
#include "editor/support/ProductArt.h"
#include "editor/support/ProductLinks.h"
#include "editor/support/TwipsGeometry.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

using namespace zrv::desktop;

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ZorvaFortune Editor"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildControls();
    mhWnd = RegisterWindow(this, QStringLiteral("ThunderRT6FormDC"));
    Form_Load();
}

void frmAbout::BuildControls()
{
    using TwipsGeometry::Rect;
    setFixedSize(TwipsGeometry::Size(4845, 4110));

    picMF = new QLabel(this);
    picMF->setObjectName(QStringLiteral("picMF"));
    picMF->setGeometry(Rect(240, 180, 4395, 1545));
    picMF->setPixmap(ProductArt::AboutBanner());
    picMF->setAlignment(Qt::AlignCenter);
    picMF->setCursor(ProductArt::HandCursor());
    picMF->installEventFilter(this);

    picCopyRight = new QFrame(this);
    picCopyRight->setObjectName(QStringLiteral("picCopyRight"));
    picCopyRight->setGeometry(Rect(240, 1980, 4395, 1245));
    picCopyRight->setFrameShape(QFrame::Panel);
    picCopyRight->setFrameShadow(QFrame::Sunken);
    picCopyRight->setAutoFillBackground(true);

    lblHelp = new QLabel(ProductLinks::MakerUrl, picCopyRight);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setGeometry(Rect(780, 120, 2955, 345));
    lblHelp->setAlignment(Qt::AlignCenter);
    QFont link = lblHelp->font();
    link.setUnderline(true);
    lblHelp->setFont(link);
    lblHelp->setStyleSheet(QStringLiteral("color: rgb(0, 0, 192);"));
    lblHelp->setCursor(ProductArt::HandCursor());
    lblHelp->installEventFilter(this);

    lblCopyRight = new QLabel(ProductLinks::MakerNotice, picCopyRight);
    lblCopyRight->setObjectName(QStringLiteral("lblCopyRight"));
    lblCopyRight->setGeometry(Rect(240, 690, 3885, 345));
    lblCopyRight->setAlignment(Qt::AlignCenter);

    Line1 = FormParts::SunkenLine(this, 150, 3510, 4710);

    cmdClose = FormParts::Button(this, "cmdClose", QStringLiteral("OK"), true);
    cmdClose->setGeometry(Rect(3600, 3660, 1125, 345));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &frmAbout::cmdClose_Click);
}

// Centred on the screen by its outer size; the notice panel is pale yellow.
void frmAbout::Form_Load()
{
    PlaceByOuterSize(*this, [](QSize outer) {
        const QSize screen = TwipsGeometry::ScreenTwips();
        return QPoint(
            TwipsGeometry::PixelsX((screen.width() - TwipsGeometry::TwipsX(outer.width())) / 2),
            TwipsGeometry::PixelsY((screen.height() - TwipsGeometry::TwipsY(outer.height())) / 2));
    });
    QPalette palette = picCopyRight->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 210));
    picCopyRight->setPalette(palette);
}

void frmAbout::picMF_Click()
{
    OpenWithShell(ProductLinks::HomePageUrl, SW_SHOWDEFAULT, {}, {}, QStringLiteral("open"), mhWnd);
}

void frmAbout::lblHelp_Click()
{
    OpenWithShell(ProductLinks::MakerUrl, SW_SHOWDEFAULT, {}, {}, QStringLiteral("open"), mhWnd);
}

// Esc reaches here too (reject), so Enter and Esc both close the box.
void frmAbout::cmdClose_Click()
{
    hide();
    done(QDialog::Accepted);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == picMF)
            picMF_Click();
        else if (watched == lblHelp)
            lblHelp_Click();
    }
    return QDialog::eventFilter(watched, event);
}
