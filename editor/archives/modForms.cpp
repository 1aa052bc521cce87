#include "editor/archives/modForms.h"

#include "editor/archives/frmExport.h"
#include "editor/archives/frmSelect.h"

#include <memory>

bool ShowSelect(const QStringList& sFortunes, QString& rsFortune, QWidget* owner)
{
    const auto form = std::make_unique<frmSelect>(owner);
    form->setParameters(sFortunes);
    form->exec();
    return form->GetParameters(rsFortune);
}

bool ShowExport(int32_t& rlLength, QWidget* owner)
{
    const auto form = std::make_unique<frmExport>(owner);
    form->setWindowModality(Qt::ApplicationModal);
    form->exec();
    rlLength = form->GetLength();
    return rlLength != 0;
}
