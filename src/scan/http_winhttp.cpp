// Http on WinHTTP: one synchronous session with automatic proxy and the platform's own
// redirect policy (every redirect except https to http). Certificate checks stay at the
// platform's defaults: do NOT add SECURITY_FLAG_IGNORE_* options here, they would accept
// any server that claims the name.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "scan/http.h"
#include "scan/url.h"

namespace bcnk {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Text must be usable as a wide string");

const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

constexpr DWORD Milliseconds(std::chrono::milliseconds duration) {
    return static_cast<DWORD>(duration.count());
}

// Owns one WinHTTP handle; closes it once, on every path.
class InternetHandle {
  public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_ != nullptr) {
            WinHttpCloseHandle(handle_);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    HINTERNET handle_;
};

using Clock = std::chrono::steady_clock;

// The time a Get still has, as a WinHTTP time-out: never more than the ordinary per-read
// time-out, never zero (WinHTTP reads zero as "wait forever").
DWORD WaitWithin(Clock::time_point deadline, std::chrono::milliseconds ordinary) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return Milliseconds(std::clamp(left, std::chrono::milliseconds(1), ordinary));
}

void SetReceiveWait(HINTERNET request, DWORD option, DWORD milliseconds) {
    WinHttpSetOption(request, option, &milliseconds, sizeof milliseconds);
}

std::atomic<HINTERNET> session{nullptr};
// Whether the session decodes gzip and deflate; Windows before 8.1 and Wine do not, and then
// ask for neither.
std::atomic<bool> decompressing{false};

// A body still in a Content-Encoding after the client's decoding: undecodable here.
bool StillEncoded(const Text& encoding) {
    const Text lowered = ToLower(Trim(encoding));
    if (lowered.empty() || lowered == u"identity") {
        return false;
    }
    return !decompressing.load() || (lowered != u"gzip" && lowered != u"deflate");
}

// A header that does not fit the buffer (terminator included) is treated as absent.
template <size_t kUnits>
Text QueryHeaderText(HINTERNET request, DWORD query) {
    wchar_t buffer[kUnits];
    DWORD size = sizeof buffer;
    if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, buffer, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return Text();
    }
    return Text(reinterpret_cast<const char16_t*>(buffer), size / sizeof(wchar_t));
}

// What the client tells about one request while it runs: the redirects it followed and why
// a TLS handshake failed.
struct RequestEvents {
    int redirects = 0;
    Text address;              // the request's address, moved along by each redirect
    bool otherScheme = false;  // a redirect named a scheme other than http and https
    DWORD secureFailure = 0;   // WINHTTP_CALLBACK_STATUS_FLAG_* of the last TLS failure
};

// Wine takes a Location such as ftp://host/ for a path on the same server and follows it;
// Windows refuses it. Either way it is no page of an HTTP site.
bool NamesOtherScheme(const Text& location) {
    const size_t colon = location.find(u':');
    if (colon == Text::npos || location.find_first_of(u"/?#") < colon) {
        return false;
    }
    const Text scheme = ToLower(location.substr(0, colon));
    return scheme != u"http" && scheme != u"https";
}

// A synchronous request calls back on the thread that waits in it; Wine passes no context
// value to the callback, so the events of the request are found through the thread.
thread_local RequestEvents* watchedEvents = nullptr;

void CALLBACK OnRequestEvent(HINTERNET, DWORD_PTR, DWORD status, LPVOID information, DWORD length) {
    RequestEvents* events = watchedEvents;
    if (events == nullptr) {
        return;
    }
    if (status == WINHTTP_CALLBACK_STATUS_REDIRECT) {
        ++events->redirects;
        // Windows reports the new address, Wine the Location header as sent: resolving
        // covers both.
        if (information != nullptr) {
            const Text location(static_cast<const char16_t*>(information));
            events->otherScheme = events->otherScheme || NamesOtherScheme(location);
            events->address = ResolveLink(events->address, location);
        }
    } else if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && information != nullptr &&
               length >= sizeof(DWORD)) {
        events->secureFailure = *static_cast<const DWORD*>(information);
    }
}

// Points the thread's callbacks at `events` for as long as one request runs.
class RequestWatch {
  public:
    RequestWatch(HINTERNET request, RequestEvents& events) {
        watchedEvents = &events;
        WinHttpSetStatusCallback(
            request, OnRequestEvent,
            WINHTTP_CALLBACK_FLAG_REDIRECT | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
    }
    ~RequestWatch() { watchedEvents = nullptr; }
    RequestWatch(const RequestWatch&) = delete;
    RequestWatch& operator=(const RequestWatch&) = delete;
};

// What a refused certificate or handshake comes to, from the failure flags or error code.
Text SecureFailureText(DWORD error, DWORD flags) {
    struct Cause {
        DWORD flag;
        DWORD error;
        const char16_t* text;
    };
    static const Cause kCauses[] = {
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, ERROR_WINHTTP_SECURE_INVALID_CA,
         u"certificate not trusted"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, ERROR_WINHTTP_SECURE_CERT_CN_INVALID,
         u"certificate name does not match"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID, ERROR_WINHTTP_SECURE_CERT_DATE_INVALID,
         u"certificate expired or not yet valid"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, ERROR_WINHTTP_SECURE_CERT_REVOKED,
         u"certificate revoked"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED, ERROR_WINHTTP_SECURE_CERT_REV_FAILED,
         u"revocation check failed"},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT, ERROR_WINHTTP_SECURE_INVALID_CERT,
         u"invalid certificate"},
        {WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR, ERROR_WINHTTP_SECURE_CHANNEL_ERROR,
         u"secure channel error"},
    };
    for (const Cause& cause : kCauses) {
        if ((flags & cause.flag) != 0 || error == cause.error) {
            return cause.text;
        }
    }
    return u"WinHTTP error " + NumberText(error);
}

// The short phrase for a request that brought no response, worded as the libcurl client's.
Text FailureReason(DWORD error, const RequestEvents& events) {
    switch (error) {
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return kReasonNotResolved;
        case ERROR_WINHTTP_CANNOT_CONNECT:
            return kReasonRefused;
        case ERROR_WINHTTP_TIMEOUT:
        case WSAETIMEDOUT:  // Wine passes the socket's own time-out through
            return kReasonTimedOut;
        case ERROR_WINHTTP_REDIRECT_FAILED:
            // The limit is the only other reason the client gives up on a redirect.
            return events.redirects >= Http::kMaxRedirects ? kReasonTooManyRedirects
                                                           : kReasonOtherScheme;
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
            return u"TLS failure: " + SecureFailureText(error, events.secureFailure);
        default:
            return u"network error (WinHTTP error " + NumberText(error) + u")";
    }
}

// The address the client ended at after following redirects. Wine does not answer this
// option; the address the redirects were followed to stands in.
Text RequestUrl(HINTERNET request, const RequestEvents& events) {
    DWORD size = 0;
    WinHttpQueryOption(request, WINHTTP_OPTION_URL, nullptr, &size);
    if (size == 0) {
        return events.address;
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryOption(request, WINHTTP_OPTION_URL, buffer.data(), &size)) {
        return events.address;
    }
    return Text(reinterpret_cast<const char16_t*>(buffer.data()));
}

// Reads until the body ends, a call fails, the Get's time is up or kMaxBodyBytes are held;
// what was read is kept in every case. Each wait is cut to the time left rather than
// closing the request from another thread, which not every WinHTTP survives mid-read.
void ReadBody(HINTERNET request, Clock::time_point deadline, std::string& body) {
    for (;;) {
        if (Clock::now() >= deadline) {
            return;
        }
        SetReceiveWait(request, WINHTTP_OPTION_RECEIVE_TIMEOUT,
                       WaitWithin(deadline, Http::kReceiveTimeout));
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available) || available == 0) {
            return;
        }
        if (body.size() >= Http::kMaxBodyBytes) {
            return;
        }
        const size_t held = body.size();
        const DWORD wanted =
            static_cast<DWORD>(std::min<size_t>(available, Http::kMaxBodyBytes - held));
        body.resize(held + wanted);
        DWORD read = 0;
        const BOOL ok = WinHttpReadData(request, body.data() + held, wanted, &read);
        body.resize(held + (ok ? read : 0));
        if (!ok || read == 0) {
            return;
        }
    }
}

}  // namespace

bool Http::Init() {
    if (session.load() != nullptr) {
        return true;
    }
    HINTERNET handle = WinHttpOpen(L"TalvennsBeaconsmith/1.0", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (handle == nullptr) {
        return false;
    }
    WinHttpSetTimeouts(handle, Milliseconds(kResolveTimeout), Milliseconds(kConnectTimeout),
                       Milliseconds(kSendTimeout), Milliseconds(kReceiveTimeout));
    // With the option WinHTTP asks for gzip and deflate and hands over the decoded body, read
    // piece by piece, so the cap in ReadBody holds for what the body expands to. Where the
    // option is unknown, nothing is asked for and nothing needs decoding.
    DWORD decompression = WINHTTP_DECOMPRESSION_FLAG_GZIP | WINHTTP_DECOMPRESSION_FLAG_DEFLATE;
    decompressing = WinHttpSetOption(handle, WINHTTP_OPTION_DECOMPRESSION, &decompression,
                                     sizeof decompression) != FALSE;
    session = handle;
    return true;
}

void Http::Close() {
    if (HINTERNET handle = session.exchange(nullptr)) {
        WinHttpCloseHandle(handle);
    }
}

FetchResult Http::Get(const Text& address, const Text& userAgent) {
    FetchResult result;
    const HINTERNET sessionHandle = session.load();
    if (sessionHandle == nullptr) {
        result.reason = kReasonClosed;
        return result;
    }
    const UrlParts parts = ParseUrl(address);
    if (!parts.valid || !IsConnectablePort(parts.port)) {
        result.reason = kReasonInvalidAddress;
        return result;
    }

    InternetHandle connection(
        WinHttpConnect(sessionHandle, Wide(parts.host), static_cast<INTERNET_PORT>(parts.port), 0));
    if (!connection) {
        result.reason = FailureReason(GetLastError(), RequestEvents{});
        return result;
    }
    const Text target = RequestTarget(parts.path);
    // The refresh flag bypasses caches: WinHTTP adds Pragma and Cache-Control: no-cache.
    const DWORD flags = WINHTTP_FLAG_REFRESH | (parts.secure ? WINHTTP_FLAG_SECURE : 0);
    // Declared before the request handle, so that it outlives every callback.
    RequestEvents events;
    events.address = address;
    InternetHandle request(WinHttpOpenRequest(connection.get(), L"GET", Wide(target), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              flags));
    if (!request) {
        result.reason = FailureReason(GetLastError(), events);
        return result;
    }
    const RequestWatch watch(request.get(), events);
    const Text header = u"User-Agent: " + UserAgentHeaderValue(userAgent) + u"\r\n";
    WinHttpAddRequestHeaders(request.get(), Wide(header), static_cast<DWORD>(-1),
                             WINHTTP_ADDREQ_FLAG_ADD);

    // The per-read time-outs alone would let a server that trickles a byte now and then
    // hold one Get for days: every wait below is cut to what is left of the Get's time.
    const Clock::time_point deadline = Clock::now() + TimeLimit();
    SetReceiveWait(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT,
                   WaitWithin(deadline, TimeLimit()));
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr)) {
        result.reason = FailureReason(GetLastError(), events);
        return result;
    }
    if (events.otherScheme) {
        result.reason = kReasonOtherScheme;
        return result;
    }
    const Text encoding = QueryHeaderText<64>(request.get(), WINHTTP_QUERY_CONTENT_ENCODING);
    if (StillEncoded(encoding)) {
        result.reason = Text(kReasonUndecodable) + u" (" + encoding + u")";
        return result;
    }

    DWORD status = 0;
    DWORD size = sizeof status;
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                            WINHTTP_NO_HEADER_INDEX)) {
        result.status = static_cast<int>(status);
    }
    result.finalUrl = events.redirects == 0 ? address : RequestUrl(request.get(), events);
    result.contentType =
        QueryHeaderText<kMaxContentTypeLength + 1>(request.get(), WINHTTP_QUERY_CONTENT_TYPE);
    result.lastModified =
        QueryHeaderText<kMaxLastModifiedLength + 1>(request.get(), WINHTTP_QUERY_LAST_MODIFIED);
    ReadBody(request.get(), deadline, result.body);
    return result;
}

}  // namespace bcnk
