#pragma once

#include "editor/shell/CommandState.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

// The main window's menu bar and toolbar tlbMain: their captions, shortcuts,
// images and enabling rules. Menu items are named after the system's names
// (mnuFileOpen); toolbar buttons are found by their captions.
class CMainCommands final : public QObject {
    Q_OBJECT
public:
    CMainCommands(QMainWindow* window, QWidget* toolbarParent);
    ~CMainCommands() override = default;
    CMainCommands(const CMainCommands&) = delete;
    CMainCommands& operator=(const CMainCommands&) = delete;

    QToolBar* Toolbar() const { return mToolbar; }
    // Menu item by object name; null when there is none.
    QAction* MenuItem(const QString& name) const;
    // Toolbar button by caption (any letter case); null when there is none.
    QAction* Button(const QString& caption) const;
    QToolButton* OpenButton() const;
    QMenu* OpenDropDown() const { return mOpenMenu; }

    // Gives each button its picture from the three image lists.
    void SetImageLists(const QList<QPixmap>& normal, const QList<QPixmap>& disabled,
                       const QList<QPixmap>& hot);
    // Enables or disables the commands whose rules the given routine sets.
    void Apply(CommandState::Setter setter, const CommandState::Inputs& inputs);
    // Replaces the entries of the Open button's drop-down list.
    void SetArchiveChoices(const QStringList& names);

signals:
    void menuItemTriggered(const QString& name);
    void buttonClicked(const QString& caption);
    void openDropDownShown();
    void archiveChosen(const QString& name);

private:
    struct Control {
        QAction* action;
        CommandState::Rule rule;
        int image; // toolbar image number, 0 for menu items
    };

    void BuildMenus(QMainWindow* window);
    void BuildToolbar();

    QToolBar* mToolbar = nullptr;
    QMenu* mOpenMenu = nullptr;
    QList<Control> mButtons;
    QList<Control> mMenuItems;
};
