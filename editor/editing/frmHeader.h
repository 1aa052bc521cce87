#pragma once

#include "editor/editing/CTextEditForm.h"
#include "editor/support/CArchiveObject.h"

class CArchiveWindow;

// Edits the header of the main window's archive; every save is stored at once.
class frmHeader final : public CTextEditForm {
public:
    explicit frmHeader(QWidget* owner = nullptr);

    void setParameters(const CArchiveObject& roFortune);
    bool GetParameters() const { return mbChanged; }
    // Each save becomes a step of this window's undo history; none for null.
    void RecordIn(CArchiveWindow* window) { mWindow = window; }

private:
    void LoadForm() override;
    bool Save(const QString& vsText) override;
    bool ApplyValidates() const override { return false; }

    CArchiveObject moFortune;
    bool mbChanged = false;
    CArchiveWindow* mWindow = nullptr;
};
