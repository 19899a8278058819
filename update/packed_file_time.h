// File times as the age rule sees them: local time cut to the two-second steps of a packed
// file date (years 1980 to 2107), and calendar day numbers to compare dates.
#pragma once

#include <ctime>

namespace pixmora {

struct CivilDate {
    int year = 1980;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
};

struct PackedFileTime {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;  // always even
};

// `time` in local time, cut to an even second. Times before 1980 or after 2107 are moved to
// the nearest end of that range, so a very old file counts as old and never as an error.
PackedFileTime ToPackedFileTime(std::time_t time);

// Days since 1970-01-01 in the proleptic Gregorian calendar.
long DayNumber(const CivilDate& date);

// The current local date.
CivilDate LocalToday();

}  // namespace pixmora
