#pragma once

#include "editor/editing/CTextEditForm.h"
#include "editor/support/CArchiveObject.h"

class CArchiveWindow;

#include <cstdint>

// Adds, edits or views one fortune of the main window's archive. Every save
// goes straight into the archive; the form reports whether one succeeded.
class frmFortune final : public CTextEditForm {
public:
    explicit frmFortune(QWidget* owner = nullptr);

    // Add: vbRW and vbNew; Edit: vbRW only; View: neither.
    void setParameters(bool vbRW, bool vbNew, const CArchiveObject& roFortune, int32_t vlIndex);
    bool GetParameters() const { return mbChanged; }
    // Each save becomes a step of this window's undo history; none for null.
    void RecordIn(CArchiveWindow* window) { mWindow = window; }

private:
    void LoadForm() override;
    bool Save(const QString& vsText) override;
    bool ApplyValidates() const override { return true; }
    bool ReadWrite() const override { return mbRW; }

    bool mbRW = true;
    bool mbNew = true;
    CArchiveObject moFortune;
    int32_t mlIndex = 0;
    bool mbChanged = false;
    CArchiveWindow* mWindow = nullptr;
};
