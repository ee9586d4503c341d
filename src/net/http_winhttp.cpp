// Http on WinHTTP: one asynchronous session with automatic proxy and the platform's own
// redirect policy (every redirect except https to http). Certificate checks stay at the
// platform's defaults: do NOT add SECURITY_FLAG_IGNORE_* options here, they would accept
// any server that claims the name.
#include <windows.h>
// wincrypt.h needs the types of windows.h.
#include <wincrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "common/debug_log.h"
#include "net/http.h"
#include "net/url.h"

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

// The longest a Get waits on WinHTTP before it looks at its cancel flag and its time again.
constexpr DWORD kWaitSliceMs = 250;
constexpr DWORD kReadChunk = 65536;

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

// The response's headers the scan reads, from the raw header block (one line each, the status
// line first), so that repeated headers keep their order as with the other client.
std::vector<HttpHeader> KeptHeaders(HINTERNET request) {
    std::vector<HttpHeader> kept;
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                        WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
        return kept;
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF,
                             WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return kept;
    }
    const Text block(reinterpret_cast<const char16_t*>(buffer.data()), size / sizeof(wchar_t));
    size_t start = block.find(u'\n');  // past the status line
    while (start != Text::npos && start + 1 < block.size()) {
        const size_t end = block.find(u'\n', start + 1);
        KeepResponseHeader(block.substr(start + 1, end == Text::npos ? Text::npos
                                                                      : end - start - 1),
                           kept);
        start = end;
    }
    return kept;
}

// What the client tells about one request while it runs: the redirects it followed and why
// a TLS handshake failed.
struct RequestEvents {
    int redirects = 0;
    Text address;              // the request's address, moved along by each redirect
    bool otherScheme = false;  // a redirect named a scheme other than http and https
    DWORD secureFailure = 0;   // WINHTTP_CALLBACK_STATUS_FLAG_* of the last TLS failure
    bool selfSigned = false;   // the refused certificate names itself as its issuer
    bool connected = false;    // a new connection was made for the request
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

// The platform's own words for a refused certificate or handshake, for the debug log.
Text SecureFailureText(DWORD error, DWORD flags) {
    struct Cause {
        DWORD flag;
        DWORD error;
        const char16_t* text;
    };
    static const Cause kCauses[] = {
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, ERROR_WINHTTP_SECURE_INVALID_CA, u"INVALID_CA"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, ERROR_WINHTTP_SECURE_CERT_CN_INVALID,
         u"CERT_CN_INVALID"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID, ERROR_WINHTTP_SECURE_CERT_DATE_INVALID,
         u"CERT_DATE_INVALID"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, ERROR_WINHTTP_SECURE_CERT_REVOKED,
         u"CERT_REVOKED"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED, ERROR_WINHTTP_SECURE_CERT_REV_FAILED,
         u"CERT_REV_FAILED"},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT, ERROR_WINHTTP_SECURE_INVALID_CERT,
         u"INVALID_CERT"},
        {WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR, ERROR_WINHTTP_SECURE_CHANNEL_ERROR,
         u"SECURE_CHANNEL_ERROR"},
    };
    Text text = u"WinHTTP error " + NumberText(error);
    for (const Cause& cause : kCauses) {
        if ((flags & cause.flag) != 0) {
            text += u" ";
            text += cause.text;
        }
    }
    return text;
}

// What a person can act on, worded as the libcurl client words it. The flags come from the
// failure notice; without them the error code alone decides.
Text SecureFailureReason(DWORD error, const RequestEvents& events) {
    const DWORD flags = events.secureFailure;
    const auto has = [&](DWORD flag, DWORD code) { return (flags & flag) != 0 || error == code; };
    if (has(WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID,
            ERROR_WINHTTP_SECURE_CERT_DATE_INVALID)) {
        return kReasonCertExpired;
    }
    if (has(WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, ERROR_WINHTTP_SECURE_CERT_CN_INVALID)) {
        return kReasonCertOtherName;
    }
    if (has(WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, ERROR_WINHTTP_SECURE_INVALID_CA)) {
        return events.selfSigned ? kReasonSelfSigned : kReasonCertUntrusted;
    }
    if (has(WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, ERROR_WINHTTP_SECURE_CERT_REVOKED)) {
        return kReasonCertRevoked;
    }
    return kReasonTlsFailed;
}

// True when the request's server certificate is its own issuer.
bool HasSelfSignedCertificate(HINTERNET request) {
    PCCERT_CONTEXT certificate = nullptr;
    DWORD size = sizeof certificate;
    if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) ||
        certificate == nullptr) {
        return false;
    }
    const bool self = CertCompareCertificateName(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                                 &certificate->pCertInfo->Subject,
                                                 &certificate->pCertInfo->Issuer) != FALSE;
    CertFreeCertificateContext(certificate);
    return self;
}

// The short phrase for a request that brought no response, worded as the libcurl client's.
Text FailureReason(DWORD error, const RequestEvents& events) {
    switch (error) {
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return kReasonNotResolved;
        case ERROR_WINHTTP_CANNOT_CONNECT:
            return kReasonRefused;
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
            return kReasonConnectionLost;
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
            DebugLog::Write(u"TLS failure for " + events.address + u": " +
                            SecureFailureText(error, events.secureFailure));
            return SecureFailureReason(error, events);
        default:
            return u"network error (WinHTTP error " + NumberText(error) + u")";
    }
}

// The session runs asynchronously because only an asynchronous request can be abandoned at
// any moment: a synchronous call may not be interrupted from another thread, and a wait that
// times out ends its request. One Pending per request receives the completions.
struct Pending {
    Pending() : done(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~Pending() {
        if (done != nullptr) {
            CloseHandle(done);
        }
    }
    Pending(const Pending&) = delete;
    Pending& operator=(const Pending&) = delete;

    HANDLE done;      // set when the call under way completes
    DWORD error = 0;  // that call's error, 0 when it succeeded
    DWORD bytes = 0;  // bytes available or read
    char buffer[kReadChunk];
    RequestEvents events;
};

// Runs on WinHTTP's threads. A request given up mid-call leaves its Pending to this callback,
// which frees it with the handle's last notice: until then WinHTTP may still write into it.
void CALLBACK OnRequestStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID information,
                              DWORD length) {
    auto* pending = reinterpret_cast<Pending*>(context);
    if (pending == nullptr) {
        return;
    }
    RequestEvents& events = pending->events;
    switch (status) {
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
            pending->error = 0;
            break;
        case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
            pending->error = 0;
            pending->bytes = *static_cast<DWORD*>(information);
            break;
        case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
            pending->error = 0;
            pending->bytes = length;
            break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: {
            const DWORD error = static_cast<WINHTTP_ASYNC_RESULT*>(information)->dwError;
            pending->error = error != 0 ? error : ERROR_WINHTTP_INTERNAL_ERROR;
            break;
        }
        case WINHTTP_CALLBACK_STATUS_REDIRECT:
            ++events.redirects;
            // Windows reports the new address, Wine the Location header as sent: resolving
            // covers both.
            if (information != nullptr) {
                const Text location(static_cast<const char16_t*>(information));
                events.otherScheme = events.otherScheme || NamesOtherScheme(location);
                events.address = ResolveLink(events.address, location);
            }
            return;
        case WINHTTP_CALLBACK_STATUS_SECURE_FAILURE:
            if (information != nullptr && length >= sizeof(DWORD)) {
                events.secureFailure = *static_cast<const DWORD*>(information);
            }
            events.selfSigned = HasSelfSignedCertificate(handle);
            return;
        case WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER:
            events.connected = true;
            return;
        case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
            delete pending;
            return;
        default:
            return;
    }
    SetEvent(pending->done);
}

// One request in flight: its handle, its Pending and when to give it up.
class Exchange {
  public:
    Exchange(HINTERNET request, const Text& address, Clock::time_point deadline,
             const std::atomic<bool>* cancel)
        : request_(request), deadline_(deadline), cancel_(cancel), pending_(new Pending) {
        pending_->events.address = address;
        DWORD_PTR context = reinterpret_cast<DWORD_PTR>(pending_);
        if (request_ == nullptr || pending_->done == nullptr ||
            !WinHttpSetOption(request_, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) {
            ready_ = false;
        }
    }
    ~Exchange() {
        if (request_ == nullptr) {
            delete pending_;
            return;
        }
        if (!cut_) {
            // Nothing is under way: take the Pending back before the handle goes.
            DWORD_PTR none = 0;
            WinHttpSetOption(request_, WINHTTP_OPTION_CONTEXT_VALUE, &none, sizeof none);
            WinHttpCloseHandle(request_);
            delete pending_;
            return;
        }
        WinHttpCloseHandle(request_);  // the callback frees the Pending
    }
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    bool Ready() const { return ready_; }
    // WinHttpSendRequest sets the context anew: it must be given this one again.
    DWORD_PTR Context() const { return reinterpret_cast<DWORD_PTR>(pending_); }
    HINTERNET Request() const { return request_; }
    Pending& Call() { return *pending_; }
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }

    // Waits for the call just started (`started` is what it returned) in short slices, so a
    // cancel or the end of the Get's time is seen within one slice whatever the server does.
    // False when the call failed or was given up; the error is then the thread's last error.
    bool Await(BOOL started) {
        if (!started) {
            return false;
        }
        for (;;) {
            if (WaitForSingleObject(pending_->done, kWaitSliceMs) == WAIT_OBJECT_0) {
                SetLastError(pending_->error);
                return pending_->error == 0;
            }
            if (Cancelled() || Clock::now() >= deadline_) {
                cut_ = true;
                SetLastError(Cancelled() ? ERROR_WINHTTP_OPERATION_CANCELLED
                                         : ERROR_WINHTTP_TIMEOUT);
                return false;
            }
        }
    }

  private:
    HINTERNET request_;
    Clock::time_point deadline_;
    const std::atomic<bool>* cancel_;
    Pending* pending_;
    bool ready_ = true;
    bool cut_ = false;  // a call is still under way inside WinHTTP
};

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
// what was read is kept in every case. WinHTTP hands over the decoded body piece by piece, so
// the cap holds for what a compressed body expands to.
// With a sink every piece goes there and nothing is kept, so the cap does not apply.
void ReadBody(Exchange& exchange, std::string& body, const BodySink& sink) {
    Pending& pending = exchange.Call();
    while (sink || body.size() < Http::kMaxBodyBytes) {
        if (!exchange.Await(WinHttpQueryDataAvailable(exchange.Request(), nullptr)) ||
            pending.bytes == 0) {
            return;
        }
        const size_t room = sink ? kReadChunk : Http::kMaxBodyBytes - body.size();
        const DWORD wanted =
            static_cast<DWORD>(std::min<size_t>({pending.bytes, kReadChunk, room}));
        if (!exchange.Await(WinHttpReadData(exchange.Request(), pending.buffer, wanted, nullptr)) ||
            pending.bytes == 0) {
            return;
        }
        if (!sink) {
            body.append(pending.buffer, pending.bytes);
        } else if (!sink(std::string_view(pending.buffer, pending.bytes))) {
            return;
        }
    }
}

// One attempt of a Get on `connection`. `stale` is set when the request failed on a
// kept-alive connection before the server answered it: it may be sent again.
FetchResult FetchOn(HINTERNET connection, const UrlParts& parts, const Text& address,
                    const Text& userAgent, const std::atomic<bool>* cancel, const BodySink& sink,
                    Clock::time_point deadline, bool& stale) {
    FetchResult result;
    stale = false;
    const Text target = RequestTarget(parts.path);
    // The refresh flag bypasses caches: WinHTTP adds Pragma and Cache-Control: no-cache.
    const DWORD flags = WINHTTP_FLAG_REFRESH | (parts.secure ? WINHTTP_FLAG_SECURE : 0);
    Exchange exchange(WinHttpOpenRequest(connection, L"GET", Wide(target), nullptr,
                                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags),
                      address, deadline, cancel);
    if (!exchange.Ready()) {
        result.reason = FailureReason(GetLastError(), RequestEvents{});
        return result;
    }
    const HINTERNET request = exchange.Request();
    const RequestEvents& events = exchange.Call().events;
    const Text header = u"User-Agent: " + UserAgentHeaderValue(userAgent) + u"\r\n";
    WinHttpAddRequestHeaders(request, Wide(header), static_cast<DWORD>(-1),
                             WINHTTP_ADDREQ_FLAG_ADD);
    // A request given up lives on inside WinHTTP until its own waits end; the wait for the
    // response head would otherwise be the platform's default of minutes.
    DWORD responseWait = static_cast<DWORD>(Http::TimeLimit().count());
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseWait,
                     sizeof responseWait);

    // The per-read time-outs alone would let a server that trickles a byte now and then
    // hold one Get for days: every wait is cut at the Get's deadline.
    if (!exchange.Await(WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                           WINHTTP_NO_REQUEST_DATA, 0, 0, exchange.Context())) ||
        !exchange.Await(WinHttpReceiveResponse(request, nullptr))) {
        const DWORD error = GetLastError();
        stale = !exchange.Cancelled() && !events.connected && events.redirects == 0 &&
                (error == ERROR_WINHTTP_CONNECTION_ERROR ||
                 error == ERROR_WINHTTP_INVALID_SERVER_RESPONSE);
        result.reason = exchange.Cancelled() ? Text(kReasonCancelled) : FailureReason(error, events);
        return result;
    }
    if (events.otherScheme) {
        result.reason = kReasonOtherScheme;
        return result;
    }
    const Text encoding = QueryHeaderText<64>(request, WINHTTP_QUERY_CONTENT_ENCODING);
    if (StillEncoded(encoding)) {
        result.reason = Text(kReasonUndecodable) + u" (" + encoding + u")";
        return result;
    }

    DWORD status = 0;
    DWORD size = sizeof status;
    if (WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                            WINHTTP_NO_HEADER_INDEX)) {
        result.status = static_cast<int>(status);
    }
    result.finalUrl = events.redirects == 0 ? address : RequestUrl(request, events);
    result.contentType =
        QueryHeaderText<Http::kMaxContentTypeLength + 1>(request, WINHTTP_QUERY_CONTENT_TYPE);
    result.lastModified =
        QueryHeaderText<Http::kMaxLastModifiedLength + 1>(request, WINHTTP_QUERY_LAST_MODIFIED);
    result.headers = KeptHeaders(request);
    const bool success = result.status >= 200 && result.status <= 299;
    ReadBody(exchange, result.body, success ? sink : BodySink());
    if (exchange.Cancelled()) {
        FetchResult cancelled;  // a page cut off by a cancel is no answer
        cancelled.reason = kReasonCancelled;
        return cancelled;
    }
    return result;
}

}  // namespace

bool Http::Init() {
    if (session.load() != nullptr) {
        return true;
    }
    HINTERNET handle =
        WinHttpOpen(L"TalvennsBeaconsmith/1.0", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    if (handle == nullptr) {
        return false;
    }
    const DWORD notices = WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES |
                          WINHTTP_CALLBACK_FLAG_REDIRECT | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE |
                          WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER;
    if (WinHttpSetStatusCallback(handle, OnRequestStatus, notices, 0) ==
        WINHTTP_INVALID_STATUS_CALLBACK) {
        WinHttpCloseHandle(handle);
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

FetchResult Http::Get(const Text& address, const Text& userAgent, const std::atomic<bool>* cancel) {
    return Get(address, userAgent, cancel, BodySink());
}

FetchResult Http::Get(const Text& address, const Text& userAgent, const std::atomic<bool>* cancel,
                      const BodySink& sink) {
    FetchResult result;
    if (cancel != nullptr && cancel->load()) {
        result.reason = kReasonCancelled;
        return result;
    }
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
    const Clock::time_point deadline = Clock::now() + TimeLimit();
    bool stale = false;
    result = FetchOn(connection.get(), parts, address, userAgent, cancel, sink, deadline, stale);
    // A kept-alive connection the server has closed fails the request sent on it before the
    // server saw it. Windows sends such a request again by itself; Wine does not always.
    if (stale) {
        result = FetchOn(connection.get(), parts, address, userAgent, cancel, sink, deadline, stale);
    }
    return result;
}

}  // namespace bcnk
