#include "editor/editing/modForms.h"

#include "editor/editing/frmFortune.h"
#include "editor/editing/frmHeader.h"

#include <memory>

bool ShowFortune(bool vbRW, bool vbNew, const CArchiveObject& roFortune, int32_t vlIndex,
                 QWidget* owner, CArchiveWindow* window)
{
    const auto form = std::make_unique<frmFortune>(owner);
    form->setParameters(vbRW, vbNew, roFortune, vlIndex);
    form->RecordIn(window);
    form->exec();
    return form->GetParameters();
}

bool ShowHeader(const CArchiveObject& roFortune, QWidget* owner, CArchiveWindow* window)
{
    const auto form = std::make_unique<frmHeader>(owner);
    form->setParameters(roFortune);
    form->RecordIn(window);
    form->exec();
    return form->GetParameters();
}
