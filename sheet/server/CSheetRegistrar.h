#pragma once

// The registration entries of the spreadsheet application, all under
// HKEY_LOCAL_MACHINE\Software\Classes (the editor looks for ".xls" there):
// the class with its InprocServer32, the ProgIDs "Excel.Application" and
// "Excel.Application.8", and the file class ".xls" = "Excel.Sheet.8".

#include "runtime/ZrvTypes.h"

#include <string>

namespace zrv::sheet {

class CSheetRegistrar final {
public:
    explicit CSheetRegistrar(std::string modulePath);

    // Stops at the first failure.
    HRESULT Register() const;
    // Removes exactly what Register wrote: the ProgID keys that name this
    // class, the class key, and the values ".xls" and "Excel.Sheet.8" still
    // hold from it (each key only when nothing else is left in it), and the
    // parent keys it made when they are left empty.
    void Unregister() const;

private:
    std::string m_modulePath;
};

} // namespace zrv::sheet
