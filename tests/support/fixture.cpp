#include "support/fixture.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace bcnk::test {

namespace {

std::string EnvironmentName(const std::string& key) {
    std::string name = "BCNK_FIXTURE_";
    for (char c : key) {
        name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return name;
}

// The server writes a tag's file under these characters only.
std::string SafeFileName(const std::string& tag) {
    std::string name;
    for (char c : tag) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        name += plain ? c : '_';
    }
    return name.substr(0, 100);
}

LoggedRequest ParseEntry(int connection, const std::string& head) {
    LoggedRequest request;
    request.connection = connection;
    request.head = head;
    size_t lineStart = 0;
    while (lineStart < head.size()) {
        size_t lineEnd = head.find("\r\n", lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = head.size();
        }
        const std::string line = head.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        if (line.empty()) {
            break;
        }
        if (request.requestLine.empty()) {
            request.requestLine = line;
            continue;
        }
        const size_t colon = line.find(':');
        const size_t valueStart = line.find_first_not_of(' ', colon + 1);
        request.headers.emplace_back(line.substr(0, colon), valueStart == std::string::npos
                                                                ? std::string()
                                                                : line.substr(valueStart));
    }
    return request;
}

}  // namespace

std::string FixtureValue(const std::string& key) {
    const char* value = std::getenv(EnvironmentName(key).c_str());
    return value == nullptr ? std::string() : std::string(value);
}

std::string FixtureUnavailableReason() {
    static const std::string reason = [] {
        if (FixtureValue("http_port").empty() || FixtureValue("ca_file").empty()) {
            return std::string(
                "the loopback fixture server is not running (BCNK_FIXTURE_* unset); "
                "run the suites through tools/test");
        }
        std::string why;
        if (!PrepareHttpClient(FixtureValue("ca_file"), why)) {
            return "cannot use the fixture server here: " + why;
        }
        return std::string();
    }();
    return reason;
}

Text FixtureAddress(bool secure, const std::string& target) {
    const std::string port = FixtureValue(secure ? "https_port" : "http_port");
    return AsciiToText((secure ? "https://127.0.0.1:" : "http://127.0.0.1:") + port + target);
}

Text SiteAddress(const std::string& site, const std::string& target) {
    return AsciiToText("http://127.0.0.1:" + FixtureValue("site_" + site + "_port") + target);
}

std::string UniqueTag() {
    static const unsigned run = std::random_device{}();
    static unsigned counter = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::ostringstream tag;
    if (test != nullptr) {
        tag << test->test_suite_name() << '.' << test->name() << '-';
    }
    tag << std::hex << run << '-' << ++counter;
    return SafeFileName(tag.str());
}

std::vector<LoggedRequest> RequestLog(const std::string& tag) {
    std::ifstream file(LocalPath(FixtureValue("log_dir") + "/" + SafeFileName(tag) + ".log"),
                       std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    const std::string text = contents.str();

    static const std::string kMarker = "--- connection ";
    std::vector<LoggedRequest> requests;
    size_t entry = text.find(kMarker);
    while (entry != std::string::npos) {
        const size_t numberStart = entry + kMarker.size();
        const size_t headStart = text.find("\r\n", numberStart);
        if (headStart == std::string::npos) {
            break;
        }
        const size_t next = text.find("\r\n\r\n" + kMarker, headStart);
        const size_t headEnd = next == std::string::npos ? text.size() : next + 4;
        requests.push_back(ParseEntry(std::atoi(text.c_str() + numberStart),
                                      text.substr(headStart + 2, headEnd - headStart - 2)));
        const size_t at = text.find(" at ", numberStart);
        if (at != std::string::npos && at < headStart) {
            requests.back().at = std::atof(text.c_str() + at + 4);
        }
        entry = next == std::string::npos ? next : next + 4;
    }
    return requests;
}

}  // namespace bcnk::test
