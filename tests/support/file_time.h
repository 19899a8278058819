// File times for the tests of the update check's age rule.
#pragma once

#include <ctime>
#include <string>

namespace pixmora::test {

// The local time of the given date and time of day; out-of-range fields are carried over
// (day 0 is the last day of the month before).
std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second);

// Noon of the local day `days` before today.
std::time_t NoonDaysAgo(int days);

// Sets the last-write (and access) time of the file at `path`.
void SetWriteTime(const std::string& path, std::time_t time);

}  // namespace pixmora::test
