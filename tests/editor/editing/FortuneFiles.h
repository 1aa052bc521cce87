#pragma once

#include "component/IFortune.h"
#include "runtime/com/ComPtr.h"

#include <ostream>
#include <QString>
#include <QStringList>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Real Fortune objects for editor tests: the built component is registered
// in the test's temporary hives, then created by class identity.
namespace FortuneFiles {

void RegisterComponent();
ComPtr<IFortune> NewFortune();
ComPtr<IFortune> LoadFortune(const QString& path);
// Creates the archive afresh with the header and fortunes given.
ComPtr<IFortune> MakeArchive(const QString& path, const QString& header,
                             const QStringList& fortunes);
QStringList Fortunes(IFortune* fortune);
QString Header(IFortune* fortune);
// Fortunes "Fortune 1" .. "Fortune n" under the header "Header".
QStringList Numbered(int count);

} // namespace FortuneFiles
