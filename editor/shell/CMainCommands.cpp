#include "editor/shell/CMainCommands.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

using CommandState::Rule;
using CommandState::Setter;

namespace {

struct MenuSpec {
    const char* name;
    const char* caption;
};

struct ItemSpec {
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut;
    Rule rule;
};

constexpr MenuSpec kMenus[] = {
    {"mnuFile", "&File"},       {"mnuEdit", "&Edit"}, {"mnuActions", "&Actions"},
    {"mnuOptions", "&Options"}, {"mnuHelp", "&Help"},
};

constexpr ItemSpec kItems[] = {
    {"mnuFile", "mnuFileNew", "&New Archive", "Ctrl+N", Rule::Always},
    {"mnuFile", "mnuFileOpen", "&Open Archive", "Ctrl+O", Rule::Always},
    {"mnuFile", "mnuFileDuplicate", "&Duplicate Archive", "", Rule::Archive},
    {"mnuFile", "mnuFileSep1", "-", "", Rule::Always},
    {"mnuFile", "mnuFileDelete", "De&lete Archive", "", Rule::Archive},
    {"mnuFile", "mnuFileSep2", "-", "", Rule::Always},
    {"mnuFile", "mnuFileClose", "&Close Archive", "", Rule::Archive},
    {"mnuFile", "mnuFileSep3", "-", "", Rule::Always},
    {"mnuFile", "mnuFileExit", "E&xit", "", Rule::Always},
    {"mnuEdit", "mnuEditSelectAll", "&Select All", "Ctrl+A", Rule::Archive},
    {"mnuEdit", "mnuEditInvertSelection", "&Invert Selection", "", Rule::Archive},
    {"mnuEdit", "mnuEditDeselectAll", "&Deselect All", "", Rule::Archive},
    {"mnuEdit", "mnuEditSep1", "-", "", Rule::Always},
    {"mnuEdit", "mnuEditCut", "&Cut", "Ctrl+X", Rule::Selected},
    {"mnuEdit", "mnuEditCopy", "C&opy", "Ctrl+C", Rule::Selected},
    {"mnuEdit", "mnuEditPaste", "&Paste", "Ctrl+V", Rule::ArchiveClip},
    {"mnuEdit", "mnuEditSep2", "-", "", Rule::Always},
    {"mnuEdit", "mnuEditArchiveHeader", "&Archive Header", "", Rule::Archive},
    {"mnuActions", "mnuActionsAdd", "&Add", "Ctrl+Ins", Rule::Archive},
    {"mnuActions", "mnuActionsEdit", "&Edit", "Ctrl+E", Rule::ArchiveRows},
    {"mnuActions", "mnuActionsDelete", "&Delete", "Ctrl+D", Rule::ArchiveRows},
    {"mnuActions", "mnuActionsView", "&View", "Ctrl+L", Rule::ArchiveRows},
    {"mnuActions", "mnuActionsSep1", "-", "", Rule::Always},
    {"mnuActions", "mnuActionsExport", "E&xport", "", Rule::ArchiveRowsSpreadsheet},
    {"mnuActions", "mnuActionsImport", "&Import", "", Rule::ArchiveSpreadsheet},
    {"mnuOptions", "mnuOptionsDisplayToolbar", "Display &Toolbar", "", Rule::Always},
    {"mnuHelp", "mnuHelpContents", "Contents", "F1", Rule::Always},
    {"mnuHelp", "mnuHelpHome", "ZorvaFortune Homepage", "F2", Rule::Always},
    {"mnuHelp", "mnuHelpSep1", "-", "", Rule::Always},
    {"mnuHelp", "mnuHelpAbout", "&About ...", "", Rule::Always},
};

struct ButtonSpec {
    const char* caption; // nullptr: separator
    int image;
    Rule rule;
};

constexpr ButtonSpec kButtons[] = {
    {"New", 1, Rule::Always},
    {"Open", 2, Rule::Always},
    {nullptr, 0, Rule::Always},
    {"Cut", 3, Rule::Selected},
    {"Copy", 4, Rule::Selected},
    {"Paste", 5, Rule::ArchiveClip},
    {nullptr, 0, Rule::Always},
    {"Add", 6, Rule::Archive},
    {"Edit", 7, Rule::ArchiveRows},
    {"Delete", 8, Rule::ArchiveRows},
    {"View", 9, Rule::ArchiveRows},
    {nullptr, 0, Rule::Always},
    {"Export", 10, Rule::ArchiveRowsSpreadsheet},
    {"Import", 11, Rule::ArchiveSpreadsheet},
};

} // namespace

CMainCommands::CMainCommands(QMainWindow* window, QWidget* toolbarParent) : QObject(window)
{
    BuildMenus(window);
    mToolbar = new QToolBar(toolbarParent);
    BuildToolbar();
}

void CMainCommands::BuildMenus(QMainWindow* window)
{
    QMenuBar* bar = window->menuBar();
    for (const MenuSpec& menuEntry : kMenus) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(menuEntry.caption));
        menu->setObjectName(QString::fromLatin1(menuEntry.name));
        for (const ItemSpec& item : kItems) {
            if (qstrcmp(item.menu, menuEntry.name) != 0)
                continue;
            QAction* action = qstrcmp(item.caption, "-") == 0
                                  ? menu->addSeparator()
                                  : menu->addAction(QString::fromLatin1(item.caption));
            const QString name = QString::fromLatin1(item.name);
            action->setObjectName(name);
            if (*item.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            if (!action->isSeparator())
                connect(action, &QAction::triggered, this,
                        [this, name] { emit menuItemTriggered(name); });
            mMenuItems.append({action, item.rule, 0});
        }
    }
    MenuItem(QStringLiteral("mnuOptionsDisplayToolbar"))->setCheckable(true);
}

void CMainCommands::BuildToolbar()
{
    mToolbar->setObjectName(QStringLiteral("tlbMain"));
    mToolbar->setMovable(false);
    mToolbar->setFloatable(false);
    mToolbar->setIconSize(QSize(32, 32));
    mToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ButtonSpec& button : kButtons) {
        if (!button.caption) {
            mToolbar->addSeparator();
            continue;
        }
        const QString caption = QString::fromLatin1(button.caption);
        QAction* action = mToolbar->addAction(caption);
        action->setObjectName(QStringLiteral("tlbMain") + caption);
        action->setToolTip(caption);
        connect(action, &QAction::triggered, this,
                [this, action] { emit buttonClicked(action->text()); });
        mButtons.append({action, button.rule, button.image});
    }
    mOpenMenu = new QMenu(mToolbar);
    mOpenMenu->setObjectName(QStringLiteral("tlbMainOpenDropDown"));
    connect(mOpenMenu, &QMenu::aboutToShow, this, &CMainCommands::openDropDownShown);
    connect(mOpenMenu, &QMenu::triggered, this,
            [this](QAction* entry) { emit archiveChosen(entry->data().toString()); });
    QToolButton* open = OpenButton();
    open->setMenu(mOpenMenu);
    open->setPopupMode(QToolButton::MenuButtonPopup);
}

QAction* CMainCommands::MenuItem(const QString& name) const
{
    for (const Control& control : mMenuItems) {
        if (control.action->objectName() == name)
            return control.action;
    }
    return nullptr;
}

QAction* CMainCommands::Button(const QString& caption) const
{
    for (const Control& control : mButtons) {
        if (control.action->text().compare(caption, Qt::CaseInsensitive) == 0)
            return control.action;
    }
    return nullptr;
}

QToolButton* CMainCommands::OpenButton() const
{
    return qobject_cast<QToolButton*>(mToolbar->widgetForAction(Button(QStringLiteral("Open"))));
}

void CMainCommands::SetImageLists(const QList<QPixmap>& normal, const QList<QPixmap>& disabled,
                                  const QList<QPixmap>& hot)
{
    for (const Control& control : mButtons) {
        const qsizetype index = control.image - 1;
        if (index < 0 || index >= normal.size() || index >= disabled.size() || index >= hot.size())
            continue;
        QIcon icon;
        icon.addPixmap(normal[index], QIcon::Normal);
        icon.addPixmap(disabled[index], QIcon::Disabled);
        icon.addPixmap(hot[index], QIcon::Active);
        control.action->setIcon(icon);
    }
}

void CMainCommands::Apply(Setter setter, const CommandState::Inputs& inputs)
{
    for (const QList<Control>* controls : {&mButtons, &mMenuItems}) {
        for (const Control& control : *controls) {
            if (CommandState::SetterOf(control.rule) == setter && !control.action->isSeparator())
                control.action->setEnabled(CommandState::IsEnabled(control.rule, inputs));
        }
    }
}

void CMainCommands::SetArchiveChoices(const QStringList& names)
{
    mOpenMenu->clear();
    for (const QString& name : names) {
        QString text = name;
        QAction* entry = mOpenMenu->addAction(text.replace(u'&', QStringLiteral("&&")));
        entry->setData(name);
    }
}
