#pragma once
// The program's only network client: one process-wide HTTP session and a blocking GET.
// WinHTTP stands behind it on Windows (http_winhttp.cpp), libcurl elsewhere (http_curl.cpp).
#include <string>

#include "common/text.h"

namespace bcnk {

struct FetchResult {
    int status = 0;         // final response status; 0 when no response was received
    std::string body;       // raw bytes as received, at most kMaxBodyBytes
    Text contentType;       // empty when absent or longer than 255 characters
    Text lastModified;      // empty when absent or longer than 127 characters
};

class Http {
public:
    // Bodies are cut here and the rest is never read: it bounds the memory of one page.
    static constexpr size_t kMaxBodyBytes = 2097152;

    // Opens the process-wide session; true at once when it is already open.
    static bool Init();
    // Closes the session; every later Get returns an empty result at once.
    static void Close();
    // Fetches one address with GET. Never throws; every failure is status 0.
    static FetchResult Get(const Text& address, const Text& userAgent);
};

}  // namespace bcnk
