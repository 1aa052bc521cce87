#pragma once

#include "desktop/DesktopTypes.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The About box: product banner, the maker's address and notice, OK.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* owner = nullptr);
    ~frmAbout() override = default;
    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;

    zrv::desktop::HWND hWnd() const { return mhWnd; }

    void picMF_Click();
    void lblHelp_Click();
    void cmdClose_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Form_Load();

    zrv::desktop::HWND mhWnd = 0;
    QLabel* picMF = nullptr;
    QFrame* picCopyRight = nullptr;
    QLabel* lblHelp = nullptr;
    QLabel* lblCopyRight = nullptr;
    QFrame* Line1 = nullptr;
    QPushButton* cmdClose = nullptr;
};
