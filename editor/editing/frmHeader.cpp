#include "editor/editing/frmHeader.h"

#include "editor/editing/BstrText.h"
#include "editor/support/Logging.h"

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
    const HRESULT hr = moFortune ? moFortune->get_Header(header.put()) : E_POINTER;
    if (SUCCEEDED(hr))
        SetBoxText(FromBstr(header));
    else
        qCWarning(lcEditor) << "frmHeader: header not read, result" << Qt::hex
                            << static_cast<uint32_t>(hr);
    cmdApply->setEnabled(false);
}

bool frmHeader::Save(const QString& vsText)
{
    const HRESULT hr = moFortune ? moFortune->put_Header(ToBstr(vsText).get()) : E_POINTER;
    if (FAILED(hr)) {
        qCWarning(lcEditor) << "frmHeader: header not saved, result" << Qt::hex
                            << static_cast<uint32_t>(hr);
        return false;
    }
    mbChanged = true;
    return true;
}
