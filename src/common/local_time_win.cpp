#include "common/local_time.h"

#include <windows.h>

namespace bcnk {

LocalTime NowLocal() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    LocalTime result;
    result.year = local.wYear;
    result.month = local.wMonth;
    result.day = local.wDay;
    result.hour = local.wHour;
    result.minute = local.wMinute;
    result.second = local.wSecond;
    result.millisecond = local.wMilliseconds;
    return result;
}

}  // namespace bcnk
