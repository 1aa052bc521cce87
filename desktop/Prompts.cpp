#include "desktop/Prompts.h"

#include "desktop/QtPromptResponder.h"

#include <QCoreApplication>

namespace zrv::desktop {

namespace {

IPromptResponder* g_responder = nullptr;

IPromptResponder& Responder()
{
    static QtPromptResponder real;
    return g_responder ? *g_responder : real;
}

QString TitleOrProgram(const QString& title)
{
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

} // namespace

void SetPromptResponder(IPromptResponder* responder)
{
    g_responder = responder;
}

IPromptResponder* PromptResponder()
{
    return g_responder;
}

int MsgBox(const QString& text, int style, const QString& title, QWidget* owner)
{
    PromptRecord prompt;
    prompt.kind = PromptRecord::Kind::MessageBox;
    prompt.title = TitleOrProgram(title);
    prompt.text = text;
    prompt.buttons = style & 0x7;
    prompt.icon = style & 0x70;
    prompt.defaultButton = style & 0x300;
    return Responder().Answer(prompt, owner).button;
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                 QWidget* owner)
{
    PromptRecord record;
    record.kind = PromptRecord::Kind::InputBox;
    record.title = TitleOrProgram(title);
    record.text = prompt;
    record.buttons = vbOKCancel;
    record.defaultText = defaultText;
    const PromptAnswer answer = Responder().Answer(record, owner);
    return answer.button == vbOK ? answer.text : QString();
}

QString ShowOpenFileDialog(const QString& initialFolder, const QString& title,
                           const QString& filter, QWidget* owner)
{
    PromptRecord record;
    record.kind = PromptRecord::Kind::OpenFile;
    record.title = title;
    record.buttons = vbOKCancel;
    record.initialFolder = initialFolder;
    record.filter = filter;
    const PromptAnswer answer = Responder().Answer(record, owner);
    return answer.button == vbOK ? answer.text : QString();
}

} // namespace zrv::desktop
