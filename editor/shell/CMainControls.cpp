#include "editor/shell/CMainControls.h"

#include "editor/shell/CFindBar.h"
#include "editor/shell/CFortuneListModel.h"
#include "editor/support/Logging.h"
#include "editor/support/ProductArt.h"
#include "editor/support/TwipsGeometry.h"

#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

const QString CMainControls::ArchiveHeader = QStringLiteral(" Archive Header");

namespace {

// Designed sizes of the header pane, in twips.
constexpr int kLogoWidth = 4455;
constexpr int kLogoHeight = 1725;
constexpr int kHeaderBarHeight = 375;
constexpr int kHeaderTextHeight = 1335;
// Room left beside the list's column for the vertical scroll bar.
constexpr int kScrollBarRoom = 375;

// Moves a label of the header pane and gives it the width; a negative width
// (a window narrower than the logo) cannot be set and leaves the one it had.
void PlaceBeside(QWidget* label, int left, int top, int width)
{
    label->move(left, top);
    if (width >= 0)
        label->resize(width, label->height());
    else
        qCDebug(lcEditor) << "LayoutControls:" << label->objectName()
                          << "keeps its width; room left:" << width;
}

} // namespace

CMainControls::CMainControls(QWidget* client, QToolBar* toolbar, QObject* filter)
    : client(client), tlbMain(toolbar)
{
    BuildHeader(filter);
    fraFind = new CFindBar(client);
    BuildList(filter);
    BuildStatusBar();
}

void CMainControls::BuildHeader(QObject* filter)
{
    picLogo = new QLabel(client);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setFixedSize(TwipsGeometry::Size(kLogoWidth, kLogoHeight));
    picLogo->setPixmap(ProductArt::Logo());
    picLogo->setAlignment(Qt::AlignCenter);
    SetBackground(picLogo, QColor(24, 38, 78));
    picLogo->setCursor(ProductArt::HandCursor());
    picLogo->installEventFilter(filter);

    lblHeader = new QLabel(client);
    lblHeader->setObjectName(QStringLiteral("lblHeader"));
    lblHeader->setTextFormat(Qt::PlainText);
    QFont bold = lblHeader->font();
    bold.setPointSize(12);
    bold.setBold(true);
    lblHeader->setFont(bold);
    lblHeader->setFixedHeight(TwipsGeometry::PixelsY(kHeaderBarHeight));

    lblHeading = new QLabel(client);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    lblHeading->setTextFormat(Qt::PlainText);
    lblHeading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblHeading->setWordWrap(true);
    lblHeading->setMargin(2);
    lblHeading->setFixedHeight(TwipsGeometry::PixelsY(kHeaderTextHeight));
}

void CMainControls::BuildList(QObject* filter)
{
    mRows = new CFortuneListModel(client);
    lvwItems = new QTreeView(client);
    lvwItems->setObjectName(QStringLiteral("lvwItems"));
    lvwItems->setModel(mRows);
    lvwItems->setRootIsDecorated(false);
    lvwItems->setItemsExpandable(false);
    lvwItems->setUniformRowHeights(true);
    lvwItems->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwItems->setAllColumnsShowFocus(true);
    lvwItems->setTextElideMode(Qt::ElideRight);
    lvwItems->header()->setStretchLastSection(false);
    lvwItems->header()->setSectionsMovable(false);
    lvwItems->installEventFilter(filter);
}

void CMainControls::BuildStatusBar()
{
    stbMain = new QStatusBar(client);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    stbMain->setSizeGripEnabled(false);
    for (int panel = 1; panel <= 3; ++panel) {
        auto* label = new QLabel(stbMain);
        label->setObjectName(QStringLiteral("stbMainPanel%1").arg(panel));
        label->setTextFormat(Qt::PlainText);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(4, 0, 4, 0);
        stbMain->addWidget(label, 1);
        mPanels.append(label);
    }
}

void CMainControls::SetBackground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void CMainControls::SetPanel(int panel, const QString& text) const
{
    mPanels[panel - 1]->setText(text);
}

QString CMainControls::PanelText(int panel) const
{
    return mPanels.value(panel - 1) ? mPanels[panel - 1]->text() : QString();
}

void CMainControls::Layout(bool showToolbar, bool showHeader) const
{
    tlbMain->setVisible(showToolbar);
    picLogo->setVisible(showHeader);
    lblHeader->setVisible(showHeader);
    lblHeading->setVisible(showHeader);

    const int clientWidth = client->width();
    const int clientHeight = client->height();
    const int statusHeight = stbMain->sizeHint().height();
    stbMain->setGeometry(0, clientHeight - statusHeight, clientWidth, statusHeight);

    int y = 0;
    if (showToolbar) {
        tlbMain->setGeometry(0, 0, clientWidth, tlbMain->sizeHint().height());
        y = tlbMain->geometry().bottom() + 1;
    }
    if (showHeader) {
        const int logoWidth = picLogo->width();
        picLogo->move(0, y);
        PlaceBeside(lblHeader, logoWidth, y, clientWidth - logoWidth);
        PlaceBeside(lblHeading, logoWidth, y + lblHeader->height(), clientWidth - logoWidth);
        y += picLogo->height();
    }
    if (!fraFind->isHidden()) {
        const int findHeight = fraFind->sizeHint().height();
        fraFind->setGeometry(0, y, clientWidth, findHeight);
        y += findHeight;
    }
    const int listHeight = clientHeight - y - statusHeight;
    if (listHeight >= 0)
        lvwItems->setGeometry(0, y, clientWidth, listHeight);
    const int columnWidth = lvwItems->width() - TwipsGeometry::PixelsX(kScrollBarRoom);
    if (columnWidth >= 0)
        lvwItems->header()->resizeSection(0, columnWidth);
}

void CMainControls::SetHeading(QString header) const
{
    lblHeading->setText(header.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

int32_t CMainControls::SelectedCount() const
{
    int32_t selected = 0;
    for (const QItemSelectionRange& range : lvwItems->selectionModel()->selection())
        selected += range.height();
    return selected;
}

QString CMainControls::CountText(int32_t count, const char* what)
{
    if (count == 0)
        return QStringLiteral("No fortunes ") + QLatin1String(what);
    if (count == 1)
        return QStringLiteral("1 fortune ") + QLatin1String(what);
    return QString::number(count) + QStringLiteral(" fortunes ") + QLatin1String(what);
}
