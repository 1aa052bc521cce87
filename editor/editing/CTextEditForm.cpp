#include "editor/editing/CTextEditForm.h"

#include "desktop/Prompts.h"
#include "editor/editing/TrimSpaces.h"
#include "editor/editing/TwipsPlacement.h"
#include "editor/support/FormParts.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

using namespace zrv::desktop;
using namespace TwipsPlacement;

namespace {

constexpr int kMargin = 90;
constexpr int kInnerWidth = 5505;
constexpr int kInnerHeight = 3540;

} // namespace

CTextEditForm::CTextEditForm(QWidget* owner, const QString& vsName, Texts vTexts)
    : CFormDialog(owner), txtFortune(new QPlainTextEdit(this)),
      cmdOK(FormParts::Button(this, "cmdOK", QStringLiteral("&OK"), false)),
      cmdCancel(FormParts::Button(this, "cmdCancel", QStringLiteral("Cancel"), false)),
      cmdApply(FormParts::Button(this, "cmdApply", QStringLiteral("&Apply"), false)),
      mTexts(std::move(vTexts))
{
    setObjectName(vsName);
    setWindowFlags(Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    txtFortune->setObjectName(QStringLiteral("txtFortune"));
    txtFortune->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtFortune->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtFortune->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtFortune->setTabChangesFocus(true);
    cmdApply->setEnabled(false);
    FormParts::TabChain({txtFortune, cmdOK, cmdCancel, cmdApply});

    // Change rule: any change of the text, typed or assigned, enables Apply.
    connect(txtFortune, &QPlainTextEdit::textChanged, this, [this] { cmdApply->setEnabled(true); });
    // No button is the default, so Enter breaks the line in the text box and
    // presses only a button that has the focus.
    for (QPushButton* button : {cmdOK, cmdCancel, cmdApply})
        button->installEventFilter(this);
    txtFortune->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &CTextEditForm::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &CTextEditForm::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &CTextEditForm::cmdApply_Click);
    resize(Size(kInnerWidth, kInnerHeight));
}

CTextEditForm::~CTextEditForm() = default;

// The document holds a CR LF as a paragraph break and a lone CR as a line
// separator, which it shows as a line break too; its raw text keeps both
// apart and keeps non-breaking spaces, which its plain text would not.
QString CTextEditForm::BoxText() const
{
    QString text = txtFortune->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1Char('\r'));
    return text;
}

void CTextEditForm::SetBoxText(const QString& vsText)
{
    QString text = vsText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    txtFortune->setPlainText(text);
}

void CTextEditForm::LayoutEditControls()
{
    FormParts::PlaceBody(this, txtFortune, kMargin, HeightOf(cmdCancel));
    FormParts::PlaceBottomRight(this, cmdApply, kMargin);
    // Read-only, the lone button stands where Apply would.
    if (ReadWrite())
        FormParts::PlaceLeftOf(cmdCancel, cmdApply, kMargin);
    else
        Place(cmdCancel, LeftOf(cmdApply), TopOf(cmdApply), WidthOf(cmdCancel),
              HeightOf(cmdCancel));
    FormParts::PlaceLeftOf(cmdOK, cmdCancel, kMargin);
}

bool CTextEditForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    if (watched == txtFortune) {
        // Shift+Enter too breaks the line with CR LF; the box's own line
        // separator stands for a lone CR.
        txtFortune->insertPlainText(QStringLiteral("\n"));
    } else if (auto* const button = qobject_cast<QPushButton*>(watched)) {
        button->click();
    } else {
        return QDialog::eventFilter(watched, event);
    }
    return true;
}

void CTextEditForm::FirstShow()
{
    TwipsPlacement::CenterOnScreen(*this);
    LoadForm();
    LayoutEditControls();
}

void CTextEditForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayoutEditControls();
}

bool CTextEditForm::ValidateText()
{
    if (!TrimSpaces(BoxText()).isEmpty())
        return true;
    MsgBox(mTexts.invalidText, vbOKOnly, mTexts.invalidTitle, this);
    txtFortune->setFocus();
    return false;
}

bool CTextEditForm::SaveText()
{
    return Save(BoxText());
}

void CTextEditForm::cmdApply_Click()
{
    if (ApplyValidates() && !ValidateText())
        return;
    if (SaveText())
        cmdApply->setEnabled(false);
}

void CTextEditForm::cmdOK_Click()
{
    if (cmdApply->isEnabled()) {
        if (!ValidateText() || !SaveText())
            return;
    }
    done(QDialog::Accepted);
}

void CTextEditForm::cmdCancel_Click()
{
    if (cmdApply->isEnabled() && !cmdApply->isHidden()) {
        const int answer = MsgBox(mTexts.discardText, vbYesNo | vbDefaultButton1,
                                  QStringLiteral("Discard Changes?"), this);
        if (answer != vbYes)
            return;
    }
    done(QDialog::Rejected);
}

void CTextEditForm::closeEvent(QCloseEvent* event)
{
    // The title bar's close button leaves at once; earlier saves still count.
    done(QDialog::Rejected);
    event->accept();
}
