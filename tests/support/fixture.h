#pragma once
// Access to the loopback fixture server (tests/fixture/server.py) that tools/test starts: its
// ports from the BCNK_FIXTURE_* environment variables, trust in its test certificate
// authority, and the request log that shows the exact requests a client sent.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/text.h"

// Skips the current test, with the reason, when the fixture server is not running (a suite
// started outside tools/test) or this process cannot be made to trust its authority.
#define BCNK_REQUIRE_FIXTURE()                                               \
    do {                                                                     \
        const std::string reason = ::bcnk::test::FixtureUnavailableReason(); \
        if (!reason.empty()) {                                               \
            GTEST_SKIP() << reason;                                          \
        }                                                                    \
    } while (false)

namespace bcnk::test {

// Empty when the server is reachable and trusted; otherwise why not. The first call makes
// this process's HTTP client trust the test authority and bypass any proxy for loopback.
std::string FixtureUnavailableReason();

// A value of the server's ready file (key as written there, e.g. "http_port"); empty when
// absent.
std::string FixtureValue(const std::string& key);

// "http://127.0.0.1:<http_port>" or "https://127.0.0.1:<https_port>" followed by `target`
// (a path with any query, beginning with "/").
Text FixtureAddress(bool secure, const std::string& target);

// Address on a static site's plain-HTTP port, e.g. SiteAddress("harbour", "/blog/").
Text SiteAddress(const std::string& site, const std::string& target);

// A log tag that no other test and no other run of this suite uses.
std::string UniqueTag();

struct LoggedRequest {
    int connection = 0;       // numbers the TCP connections the server accepted
    std::string requestLine;  // e.g. "GET /x?tag=t HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // in the order sent
    std::string head;  // request line, header lines and empty line, byte for byte
    double at = 0;     // arrival, seconds on the server's monotonic clock
};

// Every request the server received with this tag, in arrival order.
std::vector<LoggedRequest> RequestLog(const std::string& tag);

// Platform side: make this process's HTTP client trust the PEM authority at `caFile` (a
// Linux path) and reach 127.0.0.1 without a proxy; false with `reason` filled when that is
// not possible here.
bool PrepareHttpClient(const std::string& caFile, std::string& reason);

// A Linux path as this process must spell it (the Windows build runs under Wine).
std::string LocalPath(const std::string& path);

}  // namespace bcnk::test
