#pragma once

#include "desktop/Prompts.h"

#include <deque>
#include <vector>

namespace zrv::test {

// Answers the prompts of a test from a script. While it lives it is the
// prompt responder; it records every prompt. A prompt with no answer queued,
// or with an answer of another kind, fails the test at once and is answered
// safely (Cancel, No or OK; nothing typed or chosen). At its end every queued
// answer must have been used.
class ScriptedPrompts final : public desktop::IPromptResponder {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    void expectMessageBox(int answer);
    // The empty text stands for Cancel, as the input box returns it.
    void expectInput(const QString& answer);
    // The empty text cancels the dialog.
    void expectOpenFile(const QString& answer);

    const std::vector<desktop::PromptRecord>& records() const { return m_records; }
    size_t pending() const { return m_queue.size(); }

    desktop::PromptAnswer Answer(const desktop::PromptRecord& prompt, QWidget* owner) override;

    // The answer given to a prompt nobody expected.
    static desktop::PromptAnswer SafeAnswer(const desktop::PromptRecord& prompt);

private:
    struct Expected {
        desktop::PromptRecord::Kind kind;
        desktop::PromptAnswer answer;
    };

    std::deque<Expected> m_queue;
    std::vector<desktop::PromptRecord> m_records;
    desktop::IPromptResponder* m_previous;
};

// "MessageBox 'title': text" and the like, for failure messages.
QString Describe(const desktop::PromptRecord& prompt);

} // namespace zrv::test
