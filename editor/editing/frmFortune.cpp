#include "editor/editing/frmFortune.h"

#include "editor/editing/CUndoRecorder.h"
#include "editor/support/EditorError.h"

#include <optional>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

frmFortune::frmFortune(QWidget* owner)
    : CTextEditForm(owner, QStringLiteral("frmFortune"),
                    {QStringLiteral("Please enter a Fortune."), QStringLiteral("Invalid Fortune"),
                     QStringLiteral("Are you sure you wish to discard the changes you have made "
                                    "to this Fortune?")})
{}

void frmFortune::setParameters(bool vbRW, bool vbNew, const CArchiveObject& roFortune,
                               int32_t vlIndex)
{
    mbRW = vbRW;
    mbNew = vbNew;
    moFortune = roFortune;
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
        // A fortune that cannot be read (logged by the archive) shows empty.
        try {
            SetBoxText(CArchiveObject::ToQString(moFortune.Item(mlIndex)));
        } catch (const EditorError&) {
        }
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
    const BString text = CArchiveObject::ToBString(vsText);
    std::optional<CUndoRecorder> recorder;
    if (mWindow)
        recorder.emplace(*mWindow);
    try {
        if (mbNew) {
            moFortune.Add(text);
            if (recorder)
                recorder->Appended(QStringLiteral("Add"));
        } else {
            if (recorder)
                recorder->KeepTexts({mlIndex});
            moFortune.PutItem(mlIndex, text);
            if (recorder)
                recorder->Replaced();
        }
    } catch (const EditorError&) {
        if (recorder)
            recorder->Lost();
        return false; // logged by the archive
    }
    mbChanged = true;
    return true;
}
