#pragma once

#include <QDialog>

// A dialog form with a Cancel command: Esc runs it, and the form's first
// showing runs FirstShow once (placing the form, loading its controls).
class CFormDialog : public QDialog {
public:
    using QDialog::QDialog;

    virtual void cmdCancel_Click() = 0;

protected:
    virtual void FirstShow() {}

    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        if (mbShown)
            return;
        mbShown = true;
        FirstShow();
    }
    void reject() override { cmdCancel_Click(); } // Esc

private:
    bool mbShown = false;
};
