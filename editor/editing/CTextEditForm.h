#pragma once

#include "editor/support/CFormDialog.h"

#include <QString>

class QPlainTextEdit;
class QPushButton;

// The dialog shared by the fortune and header editors: one text box and the
// buttons OK, Cancel and Apply in a row at the bottom right. An enabled Apply
// button is the form's only record of unsaved changes. OK and Cancel hide
// the form; the window's close button hides it without asking or saving.
class CTextEditForm : public CFormDialog {
public:
    ~CTextEditForm() override;
    CTextEditForm(const CTextEditForm&) = delete;
    CTextEditForm& operator=(const CTextEditForm&) = delete;

    // Runs on every resize; all positions in twips with a margin of 90.
    void LayoutEditControls();

    // The text as the box holds it, line breaks as CR LF.
    QString BoxText() const;
    void SetBoxText(const QString& vsText);

    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click() override;

protected:
    struct Texts {
        QString invalidText; // shown when the text is empty on OK
        QString invalidTitle;
        QString discardText; // asked when Cancel drops unsaved changes
    };

    CTextEditForm(QWidget* owner, const QString& vsName, Texts vTexts);

    // Fills caption and text box; runs once when the form is first shown.
    virtual void LoadForm() = 0;
    // Stores the box text; false when the archive object reported a failure.
    virtual bool Save(const QString& vsText) = 0;
    // Whether Apply checks the text as OK does.
    virtual bool ApplyValidates() const = 0;
    // Whether the form allows changes; false shows a lone Close button.
    virtual bool ReadWrite() const { return true; }

    QPlainTextEdit* txtFortune;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdApply;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void FirstShow() override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The text without leading and trailing spaces must not be empty.
    bool ValidateText();
    bool SaveText();

    Texts mTexts;
};
