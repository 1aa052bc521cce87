#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace zrv::test {

using desktop::PromptAnswer;
using desktop::PromptRecord;

namespace {

const char* KindName(PromptRecord::Kind kind)
{
    switch (kind) {
    case PromptRecord::Kind::InputBox:
        return "InputBox";
    case PromptRecord::Kind::OpenFile:
        return "OpenFile";
    case PromptRecord::Kind::MessageBox:
        break;
    }
    return "MessageBox";
}

PromptAnswer TextAnswer(const QString& text)
{
    return {text.isEmpty() ? desktop::vbCancel : desktop::vbOK, text};
}

} // namespace

ScriptedPrompts::ScriptedPrompts() : m_previous(desktop::PromptResponder())
{
    desktop::SetPromptResponder(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    desktop::SetPromptResponder(m_previous);
    for (const Expected& expected : m_queue) {
        ADD_FAILURE() << "A " << KindName(expected.kind) << " was expected but never shown (answer "
                      << expected.answer.button << " '" << expected.answer.text.toStdString()
                      << "')";
    }
}

void ScriptedPrompts::expectMessageBox(int answer)
{
    m_queue.push_back({PromptRecord::Kind::MessageBox, {answer, {}}});
}

void ScriptedPrompts::expectInput(const QString& answer)
{
    m_queue.push_back({PromptRecord::Kind::InputBox, TextAnswer(answer)});
}

void ScriptedPrompts::expectOpenFile(const QString& answer)
{
    m_queue.push_back({PromptRecord::Kind::OpenFile, TextAnswer(answer)});
}

PromptAnswer ScriptedPrompts::Answer(const PromptRecord& prompt, QWidget* /*owner*/)
{
    m_records.push_back(prompt);
    if (m_queue.empty()) {
        ADD_FAILURE() << "Unexpected prompt: " << Describe(prompt).toStdString();
        return SafeAnswer(prompt);
    }
    const Expected expected = m_queue.front();
    m_queue.pop_front();
    if (expected.kind != prompt.kind) {
        ADD_FAILURE() << "Expected a " << KindName(expected.kind) << " but got "
                      << Describe(prompt).toStdString();
        return SafeAnswer(prompt);
    }
    return expected.answer;
}

PromptAnswer ScriptedPrompts::SafeAnswer(const PromptRecord& prompt)
{
    if (prompt.kind != PromptRecord::Kind::MessageBox)
        return {desktop::vbCancel, {}};
    switch (prompt.buttons) {
    case desktop::vbOKCancel:
    case desktop::vbYesNoCancel:
    case desktop::vbRetryCancel:
        return {desktop::vbCancel, {}};
    case desktop::vbAbortRetryIgnore:
        return {desktop::vbAbort, {}};
    case desktop::vbYesNo:
        return {desktop::vbNo, {}};
    default:
        return {desktop::vbOK, {}};
    }
}

QString Describe(const PromptRecord& prompt)
{
    return QStringLiteral("%1 '%2': %3")
        .arg(QLatin1String(KindName(prompt.kind)), prompt.title, prompt.text);
}

} // namespace zrv::test
