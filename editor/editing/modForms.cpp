#include "editor/editing/modForms.h"

#include "editor/editing/FormOwner.h"
#include "editor/editing/frmFortune.h"
#include "editor/editing/frmHeader.h"

#include <memory>

bool ShowFortune(bool vbRW, bool vbNew, IFortune* roFortune, int32_t vlIndex, QWidget* owner)
{
    const auto form = std::make_unique<frmFortune>(FormOwner(owner));
    form->setParameters(vbRW, vbNew, roFortune, vlIndex);
    form->exec();
    return form->GetParameters();
}

bool ShowHeader(IFortune* roFortune, QWidget* owner)
{
    const auto form = std::make_unique<frmHeader>(FormOwner(owner));
    form->setParameters(roFortune);
    form->exec();
    return form->GetParameters();
}
