#pragma once

#include "component/IFortune.h"
#include "editor/editing/CTextEditForm.h"
#include "runtime/com/ComPtr.h"

// Edits the header of the main window's archive; every save is stored at once.
class frmHeader final : public CTextEditForm {
public:
    explicit frmHeader(QWidget* owner = nullptr);

    void setParameters(IFortune* roFortune);
    bool GetParameters() const { return mbChanged; }

private:
    void LoadForm() override;
    bool Save(const QString& vsText) override;
    bool ApplyValidates() const override { return false; }

    ComPtr<IFortune> moFortune;
    bool mbChanged = false;
};
