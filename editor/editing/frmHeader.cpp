#include "editor/editing/frmHeader.h"

#include "editor/support/EditorError.h"

#include <QPushButton>

frmHeader::frmHeader(QWidget* owner)
    : CTextEditForm(owner, QStringLiteral("frmHeader"),
                    {QStringLiteral("Please enter a Header."), QStringLiteral("Invalid Header"),
                     QStringLiteral("Are you sure you wish to discard the changes you have made "
                                    "to this Header?")})
{
    setWindowTitle(QStringLiteral("Edit Archive Header"));
}

void frmHeader::setParameters(const CArchiveObject& roFortune)
{
    moFortune = roFortune;
    mbChanged = false;
}

void frmHeader::LoadForm()
{
    // A header that cannot be read (logged by the archive) shows empty.
    try {
        SetBoxText(moFortune.Header());
    } catch (const EditorError&) {
    }
    cmdApply->setEnabled(false);
}

bool frmHeader::Save(const QString& vsText)
{
    try {
        moFortune.PutHeader(vsText);
    } catch (const EditorError&) {
        return false; // logged by the archive
    }
    mbChanged = true;
    return true;
}
