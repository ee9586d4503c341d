#pragma once
// The local wall-clock time, read once. Debug-log stamps, ZIP entry times and the date
// written into generated files all use the local time, never UTC.

namespace bcnk {

struct LocalTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

LocalTime NowLocal();

}  // namespace bcnk
