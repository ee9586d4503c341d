// The HTTP fetcher against the loopback fixture server: the same tests run natively
// (libcurl) and under Wine (WinHTTP).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "net/http.h"
#include "support/fixture.h"
#include "support/platform.h"

namespace bcnk {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const Text kAgent = u"BeaconsmithTest/2.0 (+http://example.invalid/bot)";

// The fixture's generated bodies: byte i is 'a' + i % 26.
std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>('a' + i % 26);
    }
    return bytes;
}

class HttpGet : public testing::Test {
  protected:
    void SetUp() override {
        BCNK_REQUIRE_FIXTURE();
        ASSERT_TRUE(Http::Init());
        tag_ = test::UniqueTag();
    }
    void TearDown() override { Http::SetTimeLimit(Http::kDefaultTimeLimit); }

    // Fetches `path` with `query` (behaviour keys) and this test's tag.
    FetchResult Fetch(bool secure, const std::string& path, const std::string& query = "") {
        return Http::Get(Address(secure, path, query), kAgent);
    }
    Text Address(bool secure, const std::string& path, const std::string& query = "") {
        return test::FixtureAddress(
            secure, path + "?" + query + (query.empty() ? "" : "&") + "tag=" + tag_);
    }
    std::vector<test::LoggedRequest> Log() const { return test::RequestLog(tag_); }

    std::string tag_;
};

// No response: nothing but the reason, which begins with `reason`.
void ExpectEmpty(const FetchResult& result, const std::string& what, const Text& reason = Text()) {
    EXPECT_EQ(result.status, 0) << what;
    EXPECT_TRUE(result.body.empty()) << what;
    EXPECT_TRUE(result.contentType.empty()) << what;
    EXPECT_TRUE(result.lastModified.empty()) << what;
    EXPECT_TRUE(result.finalUrl.empty()) << what;
    EXPECT_FALSE(result.reason.empty()) << what;
    EXPECT_EQ(result.reason.substr(0, reason.size()), reason)
        << what << ": " << WideToUtf8(result.reason);
}

TEST_F(HttpGet, StatusHeadersAndBodyOverHttpAndHttps) {
    struct Row {
        std::string query;
        int status;
        Text contentType;
        Text lastModified;
    };
    const std::vector<Row> rows = {
        {"", 200, u"text/html; charset=utf-8", u""},
        {"status=404", 404, u"text/html; charset=utf-8", u""},
        {"status=500&type=text/plain", 500, u"text/plain", u""},
        {"type=none&last_modified=Tue,%2001%20Dec%202026%2010:00:00%20GMT", 200, u"",
         u"Tue, 01 Dec 2026 10:00:00 GMT"},
        {"body=caf%C3%A9&type=text/html;%20charset=iso-8859-1", 200,
         u"text/html; charset=iso-8859-1", u""},
    };
    for (bool secure : {false, true}) {
        for (const Row& row : rows) {
            const FetchResult result = Fetch(secure, "/page", row.query);
            const std::string what = (secure ? "https " : "http ") + row.query;
            EXPECT_EQ(result.status, row.status) << what;
            EXPECT_EQ(result.contentType, row.contentType) << what;
            EXPECT_EQ(result.lastModified, row.lastModified) << what;
            EXPECT_FALSE(result.body.empty()) << what;
        }
    }
    // The body is the raw bytes, never decoded.
    EXPECT_EQ(Fetch(false, "/page", "body=caf%C3%A9").body, "caf\xC3\xA9");
}

TEST_F(HttpGet, KeepsTheHeadersTheScanReadsInOrder) {
    // Mixed case names, a repeated header, one the scan never reads, a value with colons.
    const std::string query =
        "extra_headers=X-Robots-Tag:noindex%7CX-Powered-By:test%7Cx-robots-tag:GPTBot:%20nofollow"
        "%7CLINK:%3C/a.md%3E;%20rel=%22alternate%22%7CContent-Usage:train-ai=n";
    const std::vector<HttpHeader> expected = {
        {u"server", u"BcnkFixture/1.0"},
        {u"x-robots-tag", u"noindex"},
        {u"x-robots-tag", u"GPTBot: nofollow"},
        {u"link", u"</a.md>; rel=\"alternate\""},
        {u"content-usage", u"train-ai=n"},
    };
    for (bool secure : {false, true}) {
        const FetchResult result = Fetch(secure, "/page", query);
        EXPECT_EQ(result.headers, expected) << (secure ? "https" : "http");
        EXPECT_EQ(result.HeaderValues(u"x-robots-tag"),
                  (std::vector<Text>{u"noindex", u"GPTBot: nofollow"}));
    }
    // Headers of a redirect's own response are not the page's.
    const FetchResult moved =
        Fetch(false, "/moved", "status=301&location=/page&extra_headers=X-Robots-Tag:noindex");
    EXPECT_EQ(moved.status, 200);
    EXPECT_TRUE(moved.HeaderValues(u"x-robots-tag").empty());
}

TEST_F(HttpGet, KeptHeadersAreBounded) {
    std::string query = "extra_headers=Link:" + std::string(3000, 'x');
    for (int i = 0; i < 40; ++i) {
        query += "%7CLink:" + std::to_string(i);
    }
    const FetchResult result = Fetch(false, "/page", query);
    ASSERT_EQ(result.headers.size(), kMaxKeptHeaders);
    // Wine's client cuts a long header line itself, shorter than our bound.
    const size_t kept = result.HeaderValues(u"link").front().size();
    EXPECT_LE(kept, kMaxKeptHeaderLength);
    EXPECT_GT(kept, 1000u);
}

TEST_F(HttpGet, LongHeadersAreDroppedWhole) {
    struct Row {
        std::string query;
        size_t contentTypeLength;  // 0: empty
        size_t lastModifiedLength;
    };
    const std::vector<Row> rows = {
        {"type_len=255&last_modified_len=127", 255, 127},
        {"type_len=256&last_modified_len=128", 0, 0},
        {"type_len=300&last_modified_len=200", 0, 0},
        {"type_len=254&last_modified_len=200", 254, 0},
    };
    for (const Row& row : rows) {
        const FetchResult result = Fetch(false, "/headers", row.query);
        EXPECT_EQ(result.status, 200) << row.query;
        EXPECT_EQ(result.contentType.size(), row.contentTypeLength) << row.query;
        EXPECT_EQ(result.lastModified.size(), row.lastModifiedLength) << row.query;
    }
}

TEST_F(HttpGet, BodyIsCutAtTwoMebibytes) {
    struct Row {
        bool secure;
        std::string query;
        size_t expected;
    };
    const std::vector<Row> rows = {
        {false, "size=5000000", Http::kMaxBodyBytes},
        {true, "size=5000000", Http::kMaxBodyBytes},
        {false, "size=2097152", Http::kMaxBodyBytes},
        {false, "size=2097153", Http::kMaxBodyBytes},
        {false, "size=2097151", Http::kMaxBodyBytes - 1},
        {false, "endless=1", Http::kMaxBodyBytes},
        {false, "size=3000000&framing=close", Http::kMaxBodyBytes},
    };
    for (const Row& row : rows) {
        const FetchResult result = Fetch(row.secure, "/big", row.query);
        EXPECT_EQ(result.status, 200) << row.query;
        ASSERT_EQ(result.body.size(), row.expected) << row.query;
        EXPECT_TRUE(result.body == Pattern(row.expected)) << row.query;
    }
}

// Compressed bodies arrive decoded, and the cut applies to what they expand to: a body of
// 64 MiB that travels as 160 KB is still cut at 2 MiB. A client that cannot decode (WinHTTP
// under Wine) asks for no compression, and a body it still gets compressed is no body.
TEST_F(HttpGet, CompressedBodiesArriveDecodedAndCut) {
    const bool decodes = !test::RunningUnderWine();
    struct Row {
        bool secure;
        std::string query;
        std::string body;
    };
    const std::vector<Row> rows = {
        {false, "body=caf%C3%A9%20au%20lait&encoding=gzip", "caf\xC3\xA9 au lait"},
        {true, "body=%3Ch1%3EHi%3C/h1%3E&encoding=deflate", "<h1>Hi</h1>"},
        {false, "size=70000&encoding=deflate&framing=chunked", Pattern(70000)},
        {false, "size=2097153&encoding=gzip", Pattern(Http::kMaxBodyBytes)},
        {true, "size=67108864&encoding=gzip", Pattern(Http::kMaxBodyBytes)},
        {false, "size=67108864&encoding=deflate&framing=close", Pattern(Http::kMaxBodyBytes)},
    };
    for (const Row& row : rows) {
        const FetchResult result = Fetch(row.secure, "/packed", row.query);
        if (!decodes) {
            ExpectEmpty(result, row.query, kReasonUndecodable);
            continue;
        }
        EXPECT_EQ(result.status, 200) << row.query;
        EXPECT_EQ(result.body.size(), row.body.size()) << row.query;
        EXPECT_TRUE(result.body == row.body) << row.query;
    }
    ExpectEmpty(Fetch(false, "/lzw", "body=x&encoding=compress"), "compress",
                Text(kReasonUndecodable) + u" (compress)");
}

TEST_F(HttpGet, FollowsRedirectsButNeverFromHttpsToHttp) {
    // A redirect that is not followed comes back as the redirect response itself; Wine's
    // WinHTTP fails such a request instead, where Windows hands the response back.
    const int unfollowed = test::RunningUnderWine() ? 0 : 301;
    const Text unfollowedReason = unfollowed == 0 ? kReasonOtherScheme : u"";
    const Text tag = AsciiToText(tag_);
    const Text https = test::FixtureAddress(true, "");
    struct Row {
        bool secure;
        std::string path;
        std::string query;
        int status;
        size_t requests;  // requests with this test's tag that reached the server
        Text finalUrl;    // empty: the address asked for
        Text reason;      // when status is 0, the reason begins with this
    };
    const std::vector<Row> rows = {
        {false, "/chain/1", "redirect=301", 200, 2,
         test::FixtureAddress(false, "/chain/0?redirect=301&tag=") + tag, u""},
        {false, "/chain/3", "", 200, 4, test::FixtureAddress(false, "/chain/0?tag=") + tag, u""},
        {true, "/chain/2", "redirect=307", 200, 3,
         test::FixtureAddress(true, "/chain/0?redirect=307&tag=") + tag, u""},
        {false, "/chain/10", "", 200, 11, test::FixtureAddress(false, "/chain/0?tag=") + tag, u""},
        {false, "/to-https", "status=302&to_scheme=https&location=/page%3Ftag%3D" + tag_, 200, 2,
         https + u"/page?tag=" + tag, u""},
        {true, "/to-http", "status=301&to_scheme=http&location=/page%3Ftag%3D" + tag_, unfollowed,
         1, u"", unfollowedReason},
        {false, "/no-location", "status=301", unfollowed, 1, u"", u""},
        // The certificate covers localhost too: a move to another host name of this server.
        {true, "/to-localhost",
         "status=301&to_scheme=https&to_host=localhost&location=/page%3Ftag%3D" + tag_, 200, 2,
         u"https://localhost:" + AsciiToText(test::FixtureValue("https_port")) + u"/page?tag=" +
             tag,
         u""},
    };
    for (const Row& row : rows) {
        const size_t before = Log().size();
        const Text address = Address(row.secure, row.path, row.query);
        const FetchResult result = Http::Get(address, kAgent);
        const std::string what = row.path + "?" + row.query;
        EXPECT_EQ(result.status, row.status) << what;
        EXPECT_EQ(result.body.empty(), row.status == 0) << what;
        EXPECT_EQ(Log().size() - before, row.requests) << what;
        if (row.status != 0) {
            EXPECT_EQ(result.finalUrl, row.finalUrl.empty() ? address : row.finalUrl) << what;
            EXPECT_EQ(result.reason, u"") << what;
        } else {
            ExpectEmpty(result, what, row.reason);
        }
    }

    // The final response's headers are the ones reported.
    const FetchResult redirected = Fetch(false, "/chain/2", "type=text/plain");
    EXPECT_EQ(redirected.status, 200);
    EXPECT_EQ(redirected.contentType, u"text/plain");
}

TEST_F(HttpGet, EndlessRedirectsFail) {
    ExpectEmpty(Fetch(false, "/loop/0"), "redirect loop", kReasonTooManyRedirects);
    ExpectEmpty(Fetch(false, "/chain/11"), "eleven redirects", kReasonTooManyRedirects);
    ExpectEmpty(Fetch(false, "/ftp", "location=ftp://127.0.0.1/"), "to ftp", kReasonOtherScheme);
    EXPECT_GE(Log().size(), 11u);
}

TEST_F(HttpGet, SendsOnlyTheUserAgentAndNoCacheHeaders) {
    for (bool secure : {false, true}) {
        tag_ = test::UniqueTag();
        ASSERT_EQ(Fetch(secure, "/headers/check").status, 200);
        const std::vector<test::LoggedRequest> log = Log();
        ASSERT_EQ(log.size(), 1u);
        const test::LoggedRequest& request = log[0];
        EXPECT_EQ(request.requestLine, "GET /headers/check?tag=" + tag_ + " HTTP/1.1");

        std::vector<std::string> names;
        int agents = 0;
        for (const auto& [name, value] : request.headers) {
            names.push_back(name);
            if (name == "User-Agent") {
                ++agents;
                EXPECT_EQ(value, WideToUtf8(kAgent));
            } else if (name == "Pragma" || name == "Cache-Control") {
                EXPECT_EQ(value, "no-cache") << name;
            } else if (name == "Host") {
                EXPECT_EQ(value,
                          "127.0.0.1:" + test::FixtureValue(secure ? "https_port" : "http_port"));
            } else if (name == "Accept-Encoding") {
                EXPECT_EQ(value, "gzip, deflate");
            } else if (name == "Connection") {
                EXPECT_EQ(value, "Keep-Alive");  // only the Windows client says it
            } else {
                ADD_FAILURE() << "unexpected header " << name << ": " << value;
            }
        }
        EXPECT_EQ(agents, 1) << request.head;
        std::vector<std::string> expectedNames = {"Host", "User-Agent", "Pragma", "Cache-Control"};
        if (!test::RunningUnderWine()) {
            expectedNames.push_back("Accept-Encoding");
        }
        for (const std::string& expected : expectedNames) {
            EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end())
                << expected << " missing in\n"
                << request.head;
        }
    }
}

TEST_F(HttpGet, RequestTargetIsEscapedAndCarriesNoFragment) {
    const Text address = test::FixtureAddress(false, "/a b/caf") + u"\u00E9/%41\"{x}[1]~" +
                         AsciiToText("?v=1 2&tag=" + tag_ + "#part");
    ASSERT_EQ(Http::Get(address, kAgent).status, 200);
    const std::vector<test::LoggedRequest> log = Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].requestLine,
              "GET /a%20b/caf%C3%A9/%41%22%7Bx%7D%5B1%5D~?v=1%202&tag=" + tag_ + " HTTP/1.1");
}

TEST_F(HttpGet, UserAgentCannotAddHeaderLines) {
    ASSERT_EQ(Http::Get(Address(false, "/ua"), u"Bot/1.0\r\nX-Injected: 1").status, 200);
    const std::vector<test::LoggedRequest> log = Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].head.find("X-Injected"), std::string::npos) << log[0].head;
    for (const auto& [name, value] : log[0].headers) {
        if (name == "User-Agent") {
            EXPECT_EQ(value, "Bot/1.0");
        }
    }
}

TEST_F(HttpGet, FailuresGiveTheEmptyResultWithAReason) {
    const std::string httpPort = test::FixtureValue("http_port");
    const std::string httpsPort = test::FixtureValue("https_port");
    const auto local = [](const std::string& rest) { return AsciiToText("127.0.0.1:" + rest); };
    struct Row {
        Text address;
        Text reason;  // the reason begins with this
    };
    const std::vector<Row> rows = {
        {u"", kReasonInvalidAddress},
        {u"https://", kReasonInvalidAddress},
        {u"http://127.0.0.1:1/", kReasonRefused},  // nothing listens there
        {u"http://no-such-host.invalid/", kReasonNotResolved},
        {Address(false, "/x", "hangup=1"), u"network error ("},
        // TLS to a plain port and plain HTTP to the TLS port.
        {u"https://" + local(httpPort + "/x"), u"TLS failure: "},
        {u"http://" + local(httpsPort + "/x"), u""},
        // Certificates that must be refused: nobody trusted signed it, or it names another host.
        {u"https://" + local(test::FixtureValue("untrusted_https_port") + "/x"), u"TLS failure: "},
        {u"https://" + local(test::FixtureValue("wrong_name_https_port") + "/x"), u"TLS failure: "},
        // A port beyond 65535 must not wrap around to the fixture's port.
        {u"http://" + local(std::to_string(std::stoi(httpPort) + 65536) + "/x"),
         kReasonInvalidAddress},
        {u"http://" + local("-" + httpPort + "/x"), kReasonInvalidAddress},
    };
    for (const Row& row : rows) {
        ExpectEmpty(Http::Get(row.address, kAgent), WideToUtf8(row.address), row.reason);
    }
}

TEST_F(HttpGet, ConnectionClosedMidBodyKeepsTheBytesRead) {
    const FetchResult result = Fetch(false, "/cut", "size=5000&cut_after=1000&chunk_bytes=1000");
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.body, Pattern(1000));
}

TEST_F(HttpGet, SlowAndChunkedBodiesArriveWhole) {
    for (const std::string query :
         {"size=3000&chunk_bytes=500&chunk_ms=300", "size=70000&framing=chunked",
          "size=70000&framing=close&chunk_bytes=7000&chunk_ms=50"}) {
        const FetchResult result = Fetch(true, "/slow", query);
        EXPECT_EQ(result.status, 200) << query;
        const size_t size = std::stoul(query.substr(5));
        EXPECT_TRUE(result.body == Pattern(size)) << query << ": " << result.body.size();
    }
}

TEST_F(HttpGet, AddressWithoutSchemeIsFetchedOverHttps) {
    const Text address =
        AsciiToText("127.0.0.1:" + test::FixtureValue("https_port") + "/noscheme?tag=" + tag_);
    EXPECT_EQ(Http::Get(address, kAgent).status, 200);
    ASSERT_EQ(Log().size(), 1u);
}

// A server that trickles a byte every second would hold a fetch for as long as it likes if
// only the per-read time-out applied.
TEST_F(HttpGet, TimeLimitEndsTheFetchKeepingWhatArrived) {
    Http::SetTimeLimit(2s);
    for (bool secure : {false, true}) {
        const Clock::time_point start = Clock::now();
        const FetchResult result =
            Fetch(secure, "/trickle", "size=120&chunk_bytes=1&chunk_ms=1000");
        const auto elapsed = Clock::now() - start;
        EXPECT_EQ(result.status, 200);
        EXPECT_EQ(result.contentType, u"text/html; charset=utf-8");
        EXPECT_GT(result.body.size(), 0u);
        EXPECT_LT(result.body.size(), 60u);
        EXPECT_EQ(result.body, Pattern(result.body.size()));
        EXPECT_LT(elapsed, 30s);
    }

    // When the limit comes before the response head there is nothing to keep.
    const Clock::time_point start = Clock::now();
    ExpectEmpty(Fetch(false, "/late", "delay_ms=20000"), "late head", kReasonTimedOut);
    EXPECT_LT(Clock::now() - start, 15s);
}

// Gets on several threads at once, each given up by its own flag: a silent head, a trickling
// body, over both schemes. A flag raised before the Get sends nothing.
TEST_F(HttpGet, CancelGivesUpRequestsInFlightOnEveryThread) {
    std::atomic<bool> raised{true};
    ExpectEmpty(Http::Get(Address(false, "/never"), kAgent, &raised), "raised before");
    EXPECT_TRUE(Log().empty());

    const std::string hung[] = {"delay_ms=60000", "size=120&chunk_bytes=1&chunk_ms=1000"};
    std::atomic<bool> cancel{false};
    std::vector<FetchResult> results(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] {
            results[i] = Http::Get(Address(i % 2 == 1, "/hung", hung[i / 2]), kAgent, &cancel);
        });
    }
    while (Log().size() < results.size()) {
        std::this_thread::sleep_for(50ms);
    }
    std::this_thread::sleep_for(300ms);
    const Clock::time_point cancelledAt = Clock::now();
    cancel = true;
    for (std::thread& thread : threads) {
        thread.join();
    }
    // Giving up takes about a second; without it these would take a minute.
    EXPECT_LT(Clock::now() - cancelledAt, 5s);
    for (const FetchResult& result : results) {
        ExpectEmpty(result, "cancelled");
    }
}

TEST_F(HttpGet, GetAfterCloseReturnsEmptyAtOnce) {
    Http::Close();
    const Clock::time_point start = Clock::now();
    ExpectEmpty(Fetch(false, "/closed", "delay_ms=5000"), "after Close", kReasonClosed);
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_TRUE(Log().empty());
    Http::Close();  // closing twice is harmless

    ASSERT_TRUE(Http::Init());
    EXPECT_TRUE(Http::Init());
    EXPECT_EQ(Fetch(false, "/reopened").status, 200);
}

TEST_F(HttpGet, KeepsConnectionsAliveAndRetriesStaleOnesAtOnce) {
    for (bool secure : {false, true}) {
        tag_ = test::UniqueTag();
        ASSERT_EQ(Fetch(secure, "/first").status, 200);
        ASSERT_EQ(Fetch(secure, "/second", "drop=1").status, 200);
        // The server has closed the kept-alive connection without saying so.
        const Clock::time_point start = Clock::now();
        const FetchResult third = Fetch(secure, "/third");
        EXPECT_LT(Clock::now() - start, 5s);
        EXPECT_EQ(third.status, 200);

        const std::vector<test::LoggedRequest> log = Log();
        ASSERT_EQ(log.size(), 3u);
        EXPECT_EQ(log[0].connection, log[1].connection) << "second request on a new connection";
        EXPECT_NE(log[1].connection, log[2].connection);
    }
}

}  // namespace
}  // namespace bcnk
