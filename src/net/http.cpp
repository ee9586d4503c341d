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

void KeepResponseHeader(const Text& line, std::vector<HttpHeader>& kept) {
    const size_t colon = line.find(u':');
    if (colon == Text::npos || kept.size() >= kMaxKeptHeaders) {
        return;
    }
    const Text name = ToLower(Trim(line.substr(0, colon)));
    for (const char* keptName : kKeptResponseHeaders) {
        if (name == Utf8ToWide(keptName)) {
            Text value = Trim(line.substr(colon + 1));
            kept.push_back({name, value.substr(0, kMaxKeptHeaderLength)});
            return;
        }
    }
}

std::vector<Text> FetchResult::HeaderValues(const Text& name) const {
    std::vector<Text> values;
    for (const HttpHeader& header : headers) {
        if (header.name == name) {
            values.push_back(header.value);
        }
    }
    return values;
}

bool IsConnectablePort(int port) {
    return port >= 1 && port <= 65535;
}

}  // namespace bcnk
