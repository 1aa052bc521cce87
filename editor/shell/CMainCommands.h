#pragma once

#include "editor/shell/CommandState.h"

#include <functional>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

// Runs a command or a step of one; a failure ends it without a word to the
// user, only to the log, and the window goes on.
void RunIgnoringFailures(const std::function<void()>& command);

// One command of the main window: its menu item, named after the system's
// names (mnuFileOpen), its toolbar button when it has one, its shortcut, its
// enabling rule and the routine it runs. A row whose caption is "-" is a
// separator line of its menu.
struct CommandRow {
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut; // several are separated by "; "
    CommandState::Rule rule;
    std::function<void()> run;
    const char* button = nullptr; // toolbar caption; none for a menu-only command
    int image = 0;                // toolbar image number, from 1
    bool group = false;           // a separator line before the button

    // A separator line in `menu`.
    static CommandRow Separator(const char* menu, const char* name)
    {
        return {menu, name, "-", "", CommandState::Rule::Always, {}};
    }
};

// The main window's menu bar and toolbar tlbMain, built from its command
// rows: one action per command, shared by its menu item and its button. A
// triggered action runs its routine with failures logged and passed over.
class CMainCommands final : public QObject {
    Q_OBJECT
public:
    // Builds the window's menus and fills the toolbar.
    CMainCommands(QMainWindow* window, QToolBar* toolbar, std::vector<CommandRow> rows);

    QToolBar* Toolbar() const { return mToolbar; }
    // Menu item by object name; null when there is none.
    QAction* MenuItem(const QString& name) const;
    // Toolbar button by caption (any letter case); null when there is none.
    QAction* Button(const QString& caption) const;
    QToolButton* OpenButton() const;
    QMenu* OpenDropDown() const { return mOpenMenu; }
    // Runs the named command's routine at once, whatever its enabled state;
    // a failure reaches the caller.
    void Run(const QString& name) const;

    // Gives each button its picture from the three image lists.
    void SetImageLists(const QList<QPixmap>& normal, const QList<QPixmap>& disabled,
                       const QList<QPixmap>& hot);
    // Enables or disables the commands whose rules the given routine sets.
    void Apply(CommandState::Setter setter, const CommandState::Inputs& inputs);
    // Replaces the entries of the Open button's drop-down list.
    void SetArchiveChoices(const QStringList& names);

signals:
    void openDropDownShown();
    void archiveChosen(const QString& name);

private:
    struct Control {
        QAction* action;
        const CommandRow* row;
    };

    void BuildMenus(QMainWindow* window);
    void BuildToolbar();
    QAction* AddCommand(QMenu* menu, const CommandRow& row);

    std::vector<CommandRow> mRows;
    QToolBar* mToolbar = nullptr;
    QMenu* mOpenMenu = nullptr;
    QList<Control> mControls;
};
