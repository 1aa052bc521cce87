#include "editor/editing/frmFortune.h"

#include "editor/editing/BstrText.h"
#include "editor/support/Logging.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

frmFortune::frmFortune(QWidget* owner)
    : CTextEditForm(owner, QStringLiteral("frmFortune"),
                    {QStringLiteral("Please enter a Fortune."), QStringLiteral("Invalid Fortune"),
                     QStringLiteral("Are you sure you wish to discard the changes you have made "
                                    "to this Fortune?")})
{}

void frmFortune::setParameters(bool vbRW, bool vbNew, IFortune* roFortune, int32_t vlIndex)
{
    mbRW = vbRW;
    mbNew = vbNew;
    moFortune = ComPtr<IFortune>(roFortune);
    mlIndex = vlIndex;
    mbChanged = false;
}

void frmFortune::LoadForm()
{
    if (mbNew) {
        setWindowTitle(QStringLiteral("Add a Fortune"));
        if (!txtFortune->document()->isEmpty()) // emptying an empty box is no change
            txtFortune->clear();
    } else {
        setWindowTitle(QStringLiteral("Edit a Fortune"));
        BString text;
        const HRESULT hr = moFortune ? moFortune->get_Item(mlIndex, text.put()) : E_POINTER;
        if (SUCCEEDED(hr))
            SetBoxText(FromBstr(text));
        else
            qCWarning(lcEditor) << "frmFortune: fortune" << mlIndex << "not read, result" << Qt::hex
                                << static_cast<uint32_t>(hr);
        cmdApply->setEnabled(false);
    }
    txtFortune->setEnabled(mbRW);
    if (!mbRW) {
        cmdOK->hide();
        cmdApply->hide();
        cmdCancel->setText(QStringLiteral("Close"));
        cmdCancel->move(cmdApply->pos());
    }
}

bool frmFortune::Save(const QString& vsText)
{
    if (!moFortune)
        return false;
    const BString text = ToBstr(vsText);
    const HRESULT hr =
        mbNew ? moFortune->Add(text.get()) : moFortune->put_Item(mlIndex, text.get());
    if (FAILED(hr)) {
        qCWarning(lcEditor) << "frmFortune: fortune not saved, result" << Qt::hex
                            << static_cast<uint32_t>(hr);
        return false;
    }
    mbChanged = true;
    return true;
}
