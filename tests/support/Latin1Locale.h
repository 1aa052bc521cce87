#pragma once

namespace zrv::test {

// Makes ISO-8859-1 the codeset of LC_CTYPE while it lives: the locale is
// generated into a private folder (LOCPATH), as few machines carry it. The C
// locale comes back at the end.
class Latin1Locale final {
public:
    Latin1Locale();
    ~Latin1Locale();
    Latin1Locale(const Latin1Locale&) = delete;
    Latin1Locale& operator=(const Latin1Locale&) = delete;

    // False when the locale could not be generated or set.
    bool IsActive() const { return m_active; }

private:
    bool m_active = false;
};

} // namespace zrv::test
