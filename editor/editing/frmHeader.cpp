#include "editor/editing/frmHeader.h"

#include "editor/editing/CUndoRecorder.h"
#include "editor/support/EditorError.h"

#include <optional>
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
    std::optional<CUndoRecorder> recorder;
    if (mWindow)
        recorder.emplace(*mWindow);
    try {
        if (recorder)
            recorder->KeepHeader();
        moFortune.PutHeader(vsText);
        if (recorder)
            recorder->HeaderChanged();
    } catch (const EditorError&) {
        if (recorder)
            recorder->Lost();
        return false; // logged by the archive
    }
    mbChanged = true;
    return true;
}
