// Local file times in packed-date resolution, and day numbers.
#include "update/packed_file_time.h"

namespace pixmora {

PackedFileTime ToPackedFileTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    PackedFileTime packed;
    const int year = local.tm_year + 1900;
    if (year < 1980) return packed;  // 1980-01-01 00:00:00
    if (year > 2107) {
        packed.date = {2107, 12, 31};
        packed.hour = 23;
        packed.minute = 59;
        packed.second = 58;
        return packed;
    }
    packed.date = {year, local.tm_mon + 1, local.tm_mday};
    packed.hour = local.tm_hour;
    packed.minute = local.tm_min;
    packed.second = (local.tm_sec / 2) * 2;  // a leap second 60 becomes 60, kept as is
    return packed;
}

long DayNumber(const CivilDate& date) {
    // Howard Hinnant's days_from_civil.
    const long y = date.year - (date.month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long year_of_era = y - era * 400;
    const long day_of_year =
        (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

CivilDate LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace pixmora
