#include "editor/archives/frmSelect.h"

#include "desktop/Prompts.h"
#include "editor/editing/TwipsPlacement.h"
#include "editor/support/FormParts.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

using namespace TwipsPlacement;

namespace {

constexpr int kMargin = 90;

bool MovesTheFocusFrame(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

// A list in which moving with the keys selects the entry the focus frame is
// on, also when it cannot move further (the first, last or only entry).
class CKeySelectingList final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        QListWidget::keyPressEvent(event);
        if (MovesTheFocusFrame(event) && currentItem() && !currentItem()->isSelected())
            currentItem()->setSelected(true);
    }
};

} // namespace

frmSelect::frmSelect(QWidget* owner)
    : CFormDialog(owner), lstFortunes(new CKeySelectingList(this)),
      // Enter presses a button that has the focus; OK is the default otherwise.
      cmdOK(FormParts::Button(this, "cmdOK", QStringLiteral("OK"), true)),
      cmdCancel(FormParts::Button(this, "cmdCancel", QStringLiteral("Cancel"), true))
{
    setObjectName(QStringLiteral("frmSelect"));
    setWindowTitle(QStringLiteral("Select a Fortune archive"));
    setWindowFlags(Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    lstFortunes->setObjectName(QStringLiteral("lstFortunes"));
    lstFortunes->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFortunes->setSortingEnabled(false);
    cmdOK->setDefault(true);
    FormParts::TabChain({lstFortunes, cmdOK, cmdCancel});

    connect(cmdOK, &QPushButton::clicked, this, &frmSelect::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSelect::cmdCancel_Click);
    connect(lstFortunes, &QListWidget::itemDoubleClicked, this, [this] { cmdOK_Click(); });
    resize(Size(3825, 3435));
}

void frmSelect::setParameters(const QStringList& sFortunes)
{
    lstFortunes->addItems(sFortunes);
    msFortune.clear();
}

bool frmSelect::GetParameters(QString& rsFortune) const
{
    rsFortune = msFortune;
    return !msFortune.isEmpty();
}

void frmSelect::LayoutControls()
{
    FormParts::PlaceBody(this, lstFortunes, kMargin, HeightOf(cmdCancel));
    FormParts::PlaceBottomRight(this, cmdCancel, kMargin);
    FormParts::PlaceLeftOf(cmdOK, cmdCancel, kMargin);
}

void frmSelect::cmdOK_Click()
{
    const QList<QListWidgetItem*> chosen = lstFortunes->selectedItems();
    if (chosen.isEmpty()) {
        zrv::desktop::MsgBox(QStringLiteral("Please select a Fortune archive."),
                             zrv::desktop::vbOKOnly, {}, this);
        lstFortunes->setFocus();
        return;
    }
    msFortune = chosen.first()->text();
    done(QDialog::Accepted);
}

void frmSelect::cmdCancel_Click()
{
    msFortune.clear();
    done(QDialog::Rejected);
}

void frmSelect::FirstShow()
{
    CenterOnScreen(*this);
}

void frmSelect::showEvent(QShowEvent* event)
{
    CFormDialog::showEvent(event);
    LayoutControls();
}

void frmSelect::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayoutControls();
}

void frmSelect::closeEvent(QCloseEvent* event)
{
    cmdCancel_Click();
    event->accept();
}
