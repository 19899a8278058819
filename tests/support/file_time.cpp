#include "support/file_time.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace pixmora::test {

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::time_t NoonDaysAgo(int days) {
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    return LocalTime(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday - days, 12, 0, 0);
}

void SetWriteTime(const std::string& path, std::time_t time) {
    const timespec times[2] = {{time, 0}, {time, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

}  // namespace pixmora::test
