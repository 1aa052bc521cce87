#include "runtime/com/CIconv.h"

namespace zrv::com {

CIconv::CIconv(const std::string& to, const std::string& from)
    : m_cd(iconv_open(to.c_str(), from.c_str()))
{}

CIconv::~CIconv()
{
    if (valid())
        iconv_close(m_cd);
}

void CIconv::reset() const
{
    if (valid())
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
}

} // namespace zrv::com
