#pragma once

#include <iconv.h>
#include <string>

namespace zrv::com {

// One iconv conversion descriptor, closed when the object goes.
class CIconv final {
public:
    CIconv(const std::string& to, const std::string& from);
    ~CIconv();
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }
    // Back to the initial shift state, ready for a new text.
    void reset() const;

private:
    iconv_t m_cd;
};

} // namespace zrv::com
