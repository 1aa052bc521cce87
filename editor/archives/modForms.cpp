#include "editor/archives/modForms.h"

#include "editor/archives/frmSelect.h"
#include "editor/editing/FormOwner.h"

#include <memory>

bool ShowSelect(const QStringList& sFortunes, QString& rsFortune, QWidget* owner)
{
    const auto form = std::make_unique<frmSelect>(FormOwner(owner));
    form->setParameters(sFortunes);
    form->exec();
    return form->GetParameters(rsFortune);
}
