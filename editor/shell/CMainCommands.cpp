#include "editor/shell/CMainCommands.h"

#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

using CommandState::Setter;

namespace {

struct MenuSpec {
    const char* name;
    const char* caption;
};

constexpr MenuSpec kMenus[] = {
    {"mnuFile", "&File"},       {"mnuEdit", "&Edit"}, {"mnuActions", "&Actions"},
    {"mnuOptions", "&Options"}, {"mnuHelp", "&Help"},
};

} // namespace

void RunIgnoringFailures(const std::function<void()>& command)
{
    try {
        command();
    } catch (const EditorError& error) {
        qCWarning(lcEditor).noquote() << "frmMain: a step was skipped:" << DescribeFailure(error);
    } catch (const std::exception& error) {
        qCWarning(lcEditor) << "frmMain: a step was skipped:" << error.what();
    }
}

CMainCommands::CMainCommands(QMainWindow* window, QToolBar* toolbar, std::vector<CommandRow> rows)
    : QObject(window), mRows(std::move(rows)), mToolbar(toolbar)
{
    BuildMenus(window);
    BuildToolbar();
}

QAction* CMainCommands::AddCommand(QMenu* menu, const CommandRow& row)
{
    if (qstrcmp(row.caption, "-") == 0)
        return menu->addSeparator();
    QAction* action = menu->addAction(QString::fromLatin1(row.caption));
    if (*row.shortcut)
        action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(row.shortcut)));
    if (row.button) {
        action->setIconText(QString::fromLatin1(row.button));
        action->setToolTip(QString::fromLatin1(row.button));
        action->setIconVisibleInMenu(false);
    }
    connect(action, &QAction::triggered, this, [&row] { RunIgnoringFailures(row.run); });
    return action;
}

void CMainCommands::BuildMenus(QMainWindow* window)
{
    QMenuBar* bar = window->menuBar();
    for (const MenuSpec& menuEntry : kMenus) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(menuEntry.caption));
        menu->setObjectName(QString::fromLatin1(menuEntry.name));
        for (const CommandRow& row : mRows) {
            if (qstrcmp(row.menu, menuEntry.name) != 0)
                continue;
            QAction* action = AddCommand(menu, row);
            action->setObjectName(QString::fromLatin1(row.name));
            mControls.append({action, &row});
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
    for (const Control& control : mControls) {
        if (!control.row->button)
            continue;
        if (control.row->group)
            mToolbar->addSeparator();
        mToolbar->addAction(control.action);
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
    for (const Control& control : mControls) {
        if (control.action->objectName() == name)
            return control.action;
    }
    return nullptr;
}

QAction* CMainCommands::Button(const QString& caption) const
{
    for (const Control& control : mControls) {
        if (control.row->button &&
            caption.compare(QLatin1String(control.row->button), Qt::CaseInsensitive) == 0)
            return control.action;
    }
    return nullptr;
}

QToolButton* CMainCommands::OpenButton() const
{
    return qobject_cast<QToolButton*>(mToolbar->widgetForAction(Button(QStringLiteral("Open"))));
}

void CMainCommands::Run(const QString& name) const
{
    for (const Control& control : mControls) {
        if (control.action->objectName() == name && control.row->run)
            return control.row->run();
    }
}

void CMainCommands::SetImageLists(const QList<QPixmap>& normal, const QList<QPixmap>& disabled,
                                  const QList<QPixmap>& hot)
{
    for (const Control& control : mControls) {
        const qsizetype index = control.row->image - 1;
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
    for (const Control& control : mControls) {
        if (CommandState::SetterOf(control.row->rule) == setter && !control.action->isSeparator())
            control.action->setEnabled(CommandState::IsEnabled(control.row->rule, inputs));
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
