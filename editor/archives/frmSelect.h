#pragma once

#include "editor/support/CFormDialog.h"

#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;

// Lets the user pick one archive of a list. The chosen name stays empty
// unless OK (or a double-click) confirms an entry.
class frmSelect final : public CFormDialog {
public:
    explicit frmSelect(QWidget* owner = nullptr);

    void setParameters(const QStringList& sFortunes);
    // True when a name was chosen.
    bool GetParameters(QString& rsFortune) const;

    void LayoutControls();
    void cmdOK_Click();
    void cmdCancel_Click() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void FirstShow() override;

private:
    QListWidget* lstFortunes;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QString msFortune;
};
