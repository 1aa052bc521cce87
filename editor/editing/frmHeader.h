#pragma once

#include "editor/editing/CTextEditForm.h"
#include "editor/support/CArchiveObject.h"

// Edits the header of the main window's archive; every save is stored at once.
class frmHeader final : public CTextEditForm {
public:
    explicit frmHeader(QWidget* owner = nullptr);

    void setParameters(const CArchiveObject& roFortune);
    bool GetParameters() const { return mbChanged; }

private:
    void LoadForm() override;
    bool Save(const QString& vsText) override;
    bool ApplyValidates() const override { return false; }

    CArchiveObject moFortune;
    bool mbChanged = false;
};
