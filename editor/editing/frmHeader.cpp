#include "editor/editing/frmHeader.h"

#include "editor/editing/BstrText.h"

#include <QPushButton>

frmHeader::frmHeader(QWidget* owner)
    : CTextEditForm(owner, QStringLiteral("frmHeader"),
                    {QStringLiteral("Please enter a Header."), QStringLiteral("Invalid Header"),
                     QStringLiteral("Are you sure you wish to discard the changes you have made "
                                    "to this Header?")})
{
    setWindowTitle(QStringLiteral("Edit Archive Header"));
}

void frmHeader::setParameters(IFortune* roFortune)
{
    moFortune = ComPtr<IFortune>(roFortune);
    mbChanged = false;
}

void frmHeader::LoadForm()
{
    BString header;
    if (moFortune && SUCCEEDED(moFortune->get_Header(header.put())))
        SetBoxText(FromBstr(header));
    cmdApply->setEnabled(false);
}

bool frmHeader::Save(const QString& vsText)
{
    if (!moFortune || FAILED(moFortune->put_Header(ToBstr(vsText).get())))
        return false;
    mbChanged = true;
    return true;
}
