#include "desktop/QtPromptResponder.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <utility>
#include <vector>

namespace zrv::desktop {

namespace {

using ButtonList = std::vector<std::pair<QMessageBox::StandardButton, int>>;

ButtonList ButtonsOf(int buttons)
{
    switch (buttons) {
    case vbOKCancel:
        return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vbAbort},
                {QMessageBox::Retry, vbRetry},
                {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel:
        return {
            {QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel:
        return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default:
        return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon IconOf(int icon)
{
    switch (icon) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

PromptAnswer ShowMessageBox(const PromptRecord& prompt, QWidget* owner)
{
    QMessageBox box(IconOf(prompt.icon), prompt.title, prompt.text, QMessageBox::NoButton, owner);
    const ButtonList buttons = ButtonsOf(prompt.buttons);
    for (const auto& [button, result] : buttons) {
        box.addButton(button);
        // Esc answers Cancel, or OK when that is the only button; Yes/No boxes have no Esc.
        if (result == vbCancel || buttons.size() == 1)
            box.setEscapeButton(button);
    }
    const auto defaultIndex = static_cast<size_t>(prompt.defaultButton / vbDefaultButton2);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].first);
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, result] : buttons) {
        if (button == clicked)
            return {result, {}};
    }
    return {vbCancel, {}};
}

PromptAnswer ShowInputBox(const PromptRecord& prompt, QWidget* owner)
{
    QInputDialog dialog(owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(prompt.title);
    dialog.setLabelText(prompt.text);
    dialog.setTextValue(prompt.defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return {vbCancel, {}};
    return {vbOK, dialog.textValue()};
}

PromptAnswer ShowOpenFile(const PromptRecord& prompt, QWidget* owner)
{
    const QString file = QFileDialog::getOpenFileName(owner, prompt.title, prompt.initialFolder,
                                                      QtPromptResponder::QtFilter(prompt.filter));
    if (file.isEmpty())
        return {vbCancel, {}};
    return {vbOK, file};
}

} // namespace

PromptAnswer QtPromptResponder::Answer(const PromptRecord& prompt, QWidget* owner)
{
    if (!owner)
        owner = QApplication::activeWindow(); // a box without owner belongs to the active window
    switch (prompt.kind) {
    case PromptRecord::Kind::InputBox:
        return ShowInputBox(prompt, owner);
    case PromptRecord::Kind::OpenFile:
        return ShowOpenFile(prompt, owner);
    case PromptRecord::Kind::MessageBox:
        break;
    }
    return ShowMessageBox(prompt, owner);
}

QString QtPromptResponder::QtFilter(const QString& filter)
{
    if (!filter.contains(u'|'))
        return filter;
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The pattern list shown in the description gives way to the real one.
        const qsizetype open = description.lastIndexOf(u'(');
        if (open > 0 && description.endsWith(u')'))
            description = description.left(open).trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(u';', u' ');
        // Qt takes the patterns from the parentheses; "*.*" means every file.
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        filters << description + QStringLiteral(" (") + patterns + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace zrv::desktop
