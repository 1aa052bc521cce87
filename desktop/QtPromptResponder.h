#pragma once

#include "desktop/Prompts.h"

namespace zrv::desktop {

// Answers prompts with modal Qt dialogs.
class QtPromptResponder final : public IPromptResponder {
public:
    PromptAnswer Answer(const PromptRecord& prompt, QWidget* owner) override;

    // The common dialog's "a|b|c|d" filter in Qt's form; Qt filters pass as they are.
    static QString QtFilter(const QString& filter);
};

} // namespace zrv::desktop
