#include "platform/Locale.h"

#include <langinfo.h>

#include <ctime>
#include <string>

namespace platform {

namespace {

// The composite conversions spelled out, so that only single fields are left.
std::string Expanded(std::string_view format) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        std::size_t c = i + 1;
        // Flags and modifiers ("%-d", "%Ey", "%Od") do not change which field it is.
        while (c < format.size() &&
               std::string_view("-_0^#EO").find(format[c]) != std::string_view::npos)
            ++c;
        if (c >= format.size()) break;
        char field = format[c];
        if (field == 'D')
            out += "%m/%d/%y";
        else if (field == 'F')
            out += "%Y-%m-%d";
        else
            (out += '%') += field;
        i = c;
    }
    return out;
}

}  // namespace

int DateOrderOf(std::string_view format) {
    std::string fields = Expanded(format);
    int day = -1, month = -1, year = -1;
    for (std::size_t i = 0; i + 1 < fields.size(); ++i) {
        if (fields[i] != '%') continue;
        int at = static_cast<int>(i);
        switch (fields[++i]) {
            case 'd':
            case 'e':
                if (day < 0) day = at;
                break;
            case 'm':
            case 'b':
            case 'B':
            case 'h':
                if (month < 0) month = at;
                break;
            case 'y':
            case 'Y':
            case 'C':
            case 'G':
            case 'g':
                if (year < 0) year = at;
                break;
            default:
                break;
        }
    }
    if (day < 0 || month < 0) return DATE_MONTH_DAY_YEAR;
    if (year >= 0 && year < day && year < month) return DATE_YEAR_MONTH_DAY;
    return day < month ? DATE_DAY_MONTH_YEAR : DATE_MONTH_DAY_YEAR;
}

int LocaleDateOrder() {
    const char* format = nl_langinfo(D_FMT);
    return DateOrderOf(format ? format : "");
}

CalendarDate LocalDate(std::int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!localtime_r(&t, &parts)) return {};
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

}  // namespace platform
