// The platform-independent part of the HTTP fetcher; the client itself is in
// http_winhttp.cpp or http_curl.cpp.
#include <atomic>

#include "net/http.h"

namespace bcnk {

namespace {

std::atomic<long long> timeLimitMs{Http::kDefaultTimeLimit.count()};

}  // namespace

FetchResult Http::Get(const Text& address, const Text& userAgent) {
    return Get(address, userAgent, nullptr);
}

void Http::SetTimeLimit(std::chrono::milliseconds limit) {
    timeLimitMs = limit.count();
}

std::chrono::milliseconds Http::TimeLimit() {
    return std::chrono::milliseconds(timeLimitMs);
}

Text UserAgentHeaderValue(const Text& userAgent) {
    return userAgent.substr(0, userAgent.find_first_of(u"\r\n"));
}

Text RequestTarget(const Text& parsedPath) {
    return parsedPath.substr(0, parsedPath.find(u'#'));
}

bool IsConnectablePort(int port) {
    return port >= 1 && port <= 65535;
}

}  // namespace bcnk
