#pragma once

#include "editor/support/CFormDialog.h"

#include <cstdint>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the longest fortune to export. The box holds the answer: blank
// means no limit, "0" (set by Cancel) that the export was cancelled.
class frmExport final : public CFormDialog {
public:
    explicit frmExport(QWidget* owner = nullptr);

    // -1 when the box is blank, else its number as a 16-bit integer; 0 for
    // text that is no number.
    int32_t GetLength() const;

    void cmdOK_Click();
    void cmdCancel_Click() override;

    // The text as a number in the user's locale, or nothing.
    static std::optional<double> ParseLength(const QString& vsText);
    // Nearest whole number, halves to even; beyond the 16-bit range the
    // nearest end of it.
    static int16_t ToInteger16(double vdValue);

protected:
    void FirstShow() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    static void FitFont(QLabel* label);
    bool LengthAccepted(bool vbTell);

    QLabel* lblCap = nullptr;
    QLineEdit* txtCharLength = nullptr;
    QFrame* Line1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
