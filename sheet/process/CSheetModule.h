#pragma once

// The spreadsheet library's module: object and lock counts, the class
// factory of the Application and the library's path (see CServerModule).

#include "runtime/com/CServerModule.h"

namespace zrv::sheet {

class CSheetModule final : public com::CServerModule<CSheetModule> {
private:
    friend CServerModule;
    CSheetModule() = default;
    ~CSheetModule() = default;
};

} // namespace zrv::sheet
