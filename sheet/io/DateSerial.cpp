#include "sheet/io/DateSerial.h"

#include <charconv>
#include <chrono>

namespace zrv::sheet {

namespace {

// Reads digits (and for the last field of a time a fraction) up to one of `ends`.
class Fields final {
public:
    explicit Fields(std::string_view text) : m_text(text) {}

    bool Int(int& value, char end)
    {
        const auto [next, error] =
            std::from_chars(m_text.data(), m_text.data() + m_text.size(), value);
        if (error != std::errc() || next == m_text.data())
            return false;
        m_text.remove_prefix(static_cast<std::size_t>(next - m_text.data()));
        return Expect(end);
    }

    bool Real(double& value, char end)
    {
        const auto [next, error] = std::from_chars(m_text.data(), m_text.data() + m_text.size(),
                                                   value, std::chars_format::fixed);
        if (error != std::errc() || next == m_text.data())
            return false;
        m_text.remove_prefix(static_cast<std::size_t>(next - m_text.data()));
        return Expect(end);
    }

    bool Expect(char end)
    {
        if (end == '\0')
            return true;
        if (m_text.empty() || m_text.front() != end)
            return false;
        m_text.remove_prefix(1);
        return true;
    }

    bool Done() const { return m_text.empty(); }
    std::string_view Rest() const { return m_text; }

private:
    std::string_view m_text;
};

} // namespace

std::optional<double> DateSerial(int year, int month, int day, int hour, int minute, double second)
{
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year),
                              std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || !date.ok())
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || !(second >= 0 && second < 61))
        return std::nullopt;
    const auto days =
        static_cast<double>((sys_days(date) - sys_days(1899y / December / 30)).count());
    const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before 1899-12-30 the time still counts away from zero, as VT_DATE has it.
    return days < 0 ? days - time : days + time;
}

std::optional<double> ParseIsoDate(std::string_view text)
{
    Fields fields(text);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (!fields.Int(year, '-') || !fields.Int(month, '-'))
        return std::nullopt;
    if (fields.Rest().size() == 2) {
        if (!fields.Int(day, '\0'))
            return std::nullopt;
    } else if (!fields.Int(day, 'T') || !fields.Int(hour, ':') || !fields.Int(minute, ':') ||
               !fields.Real(second, '\0')) {
        return std::nullopt;
    }
    return DateSerial(year, month, day, hour, minute, second);
}

std::optional<double> ParseIsoDuration(std::string_view text)
{
    Fields fields(text);
    int hours = 0, minutes = 0;
    double seconds = 0;
    if (!fields.Expect('P') || !fields.Expect('T') || !fields.Int(hours, 'H') ||
        !fields.Int(minutes, 'M') || !fields.Real(seconds, 'S') || !fields.Done())
        return std::nullopt;
    if (hours < 0 || minutes < 0 || minutes > 59 || !(seconds >= 0 && seconds < 60))
        return std::nullopt;
    return (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
}

} // namespace zrv::sheet
