// Http on libcurl, set up to behave like the Windows client: automatic redirects except
// from https to http, the same time-outs and caps, only the User-Agent and no-cache
// headers, one kept-alive session per process, the environment's proxy settings.
#include <curl/curl.h>

#include <array>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "common/debug_log.h"
#include "net/http.h"
#include "net/url.h"

namespace bcnk {

namespace {

using Clock = std::chrono::steady_clock;

// The process-wide session: a pool of easy handles, one per Get running at that moment, each
// keeping its own connections alive for the next Get that takes it (libcurl does not support
// sharing one connection cache between threads). Cookies, name lookups and TLS sessions are
// shared between the handles through one share handle, as one WinHTTP session shares them.
struct Session {
    std::mutex mutex;
    std::condition_variable returned;
    bool open = false;
    CURLSH* share = nullptr;
    curl_slist* headers = nullptr;
    std::vector<CURL*> idle;
    int busy = 0;  // handles out with a running Get; Close waits for them
    std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks;
};

Session& TheSession() {
    static Session session;
    return session;
}

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<Session*>(user)->shareLocks[static_cast<size_t>(data)].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void* user) {
    static_cast<Session*>(user)->shareLocks[static_cast<size_t>(data)].unlock();
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t index = 0;
    for (; prefix[index] != '\0'; ++index) {
        if (index >= text.size()) {
            return false;
        }
        if (AsciiLower(text[index]) != prefix[index]) {
            return false;
        }
    }
    return true;
}

std::string TrimHeaderValue(const std::string& value) {
    const size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    const size_t last = value.find_last_not_of(" \t\r\n");
    return value.substr(first, last - first + 1);
}

// One request/response exchange: a Get makes one per redirect it follows.
struct Exchange {
    const std::atomic<bool>* cancel = nullptr;
    const BodySink* sink = nullptr;
    Clock::time_point deadline;
    Clock::time_point lastActivity;
    bool requestSent = false;  // the connection is up; the per-read time-out applies
    bool timeLimitHit = false;
    bool cancelled = false;
    bool headersComplete = false;
    int status = 0;
    std::string contentType;
    std::string lastModified;
    bool haveContentType = false;
    bool haveLastModified = false;
    std::string contentEncoding;
    std::vector<HttpHeader> keptHeaders;
    std::string body;
    CURLcode code = CURLE_OK;
    std::string error;  // libcurl's own words for a failed transfer
    long certificateVerdict = 0;  // OpenSSL's X509_V_* result of the certificate check
};

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
    auto& exchange = *static_cast<Exchange*>(user);
    const std::string line(data, size * count);
    exchange.lastActivity = Clock::now();
    if (StartsWithNoCase(line, "http/")) {
        // A new response begins (after an interim 1xx): forget the previous one's headers.
        Exchange next;
        next.cancel = exchange.cancel;
        next.sink = exchange.sink;
        next.deadline = exchange.deadline;
        next.lastActivity = exchange.lastActivity;
        next.requestSent = true;
        exchange = std::move(next);
        const size_t space = line.find(' ');
        exchange.status = space == std::string::npos ? 0 : std::atoi(line.c_str() + space + 1);
    } else if (line == "\r\n" || line == "\n") {
        exchange.headersComplete = true;
    } else if (StartsWithNoCase(line, "content-type:") && !exchange.haveContentType) {
        exchange.haveContentType = true;
        exchange.contentType = TrimHeaderValue(line.substr(13));
    } else if (StartsWithNoCase(line, "content-encoding:")) {
        exchange.contentEncoding = TrimHeaderValue(line.substr(17));
    } else if (StartsWithNoCase(line, "last-modified:") && !exchange.haveLastModified) {
        exchange.haveLastModified = true;
        exchange.lastModified = TrimHeaderValue(line.substr(14));
    } else {
        KeepResponseHeader(Utf8ToWide(line), exchange.keptHeaders);
    }
    return size * count;
}

// Keeps at most kMaxBodyBytes. Returning less than was offered makes libcurl stop the
// transfer at once, so the rest of a long body is never read.
size_t OnBodyBytes(char* data, size_t size, size_t count, void* user) {
    auto& exchange = *static_cast<Exchange*>(user);
    exchange.lastActivity = Clock::now();
    const size_t offeredBytes = size * count;
    if (exchange.sink != nullptr && exchange.status >= 200 && exchange.status <= 299) {
        return (*exchange.sink)(std::string_view(data, offeredBytes)) ? offeredBytes : 0;
    }
    const size_t room = Http::kMaxBodyBytes - exchange.body.size();
    const size_t kept = offeredBytes < room ? offeredBytes : room;
    exchange.body.append(data, kept);
    return kept;
}

int OnRequestReady(void* user, char*, char*, int, int) {
    auto& exchange = *static_cast<Exchange*>(user);
    exchange.requestSent = true;
    exchange.lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// Called about once a second even while nothing arrives: ends the exchange when it is
// cancelled, when the Get's time is up or, once the request is out, when the server stays
// silent for a receive time-out (the per-read time-out of the Windows client).
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& exchange = *static_cast<Exchange*>(user);
    if (exchange.cancel != nullptr && exchange.cancel->load()) {
        exchange.cancelled = true;
        return 1;
    }
    const Clock::time_point now = Clock::now();
    if (now >= exchange.deadline) {
        exchange.timeLimitHit = true;
        return 1;
    }
    if (exchange.requestSent && now - exchange.lastActivity >= Http::kReceiveTimeout) {
        return 1;
    }
    return 0;
}

// Characters that may not appear in a request target are sent percent-encoded, as the
// Windows client does with its default flags; "%" itself is passed through.
std::string EncodeTarget(const std::string& target) {
    static const char kHex[] = "0123456789ABCDEF";
    static constexpr std::string_view kUnsafe = "\"<>[\\]^`{|}";
    std::string encoded;
    for (unsigned char c : target) {
        const bool unsafe =
            c <= 0x20 || c >= 0x7F || kUnsafe.find(static_cast<char>(c)) != std::string_view::npos;
        if (unsafe) {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        } else {
            encoded += static_cast<char>(c);
        }
    }
    return encoded;
}

std::string RequestUrl(const UrlParts& parts) {
    std::string url = parts.secure ? "https://" : "http://";
    url += WideToUtf8(parts.host);
    if (parts.port != (parts.secure ? 443 : 80)) {
        url += ':' + std::to_string(parts.port);
    }
    return url + EncodeTarget(WideToUtf8(RequestTarget(parts.path)));
}

bool IsRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void SetSessionOptions(CURL* easy, curl_slist* headers) {
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    // Name resolution and connecting are one phase in libcurl.
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>((Http::kResolveTimeout + Http::kConnectTimeout).count()));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeaderLine);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBodyBytes);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnRequestReady);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    // Servers that compress send less; the body arrives decoded, piece by piece, so the cap
    // in OnBodyBytes holds for what a small compressed body expands to.
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
    // Like the Windows session, keep cookies a site sets for the rest of the session.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
}

// OpenSSL's convention for an extra trust file or directory, which libcurl does not read
// on its own because it names its built-in bundle explicitly.
void SetTrustLocations(CURL* easy) {
    const char* file = std::getenv("SSL_CERT_FILE");
    const char* directory = std::getenv("SSL_CERT_DIR");
    if (file != nullptr && *file != '\0') {
        curl_easy_setopt(easy, CURLOPT_CAINFO, file);
    }
    if (directory != nullptr && *directory != '\0') {
        curl_easy_setopt(easy, CURLOPT_CAPATH, directory);
    }
}

Exchange Perform(CURL* easy, const std::string& url, Clock::time_point deadline,
                 const std::atomic<bool>* cancel, const BodySink* sink) {
    Exchange exchange;
    exchange.cancel = cancel;
    exchange.sink = sink;
    exchange.deadline = deadline;
    exchange.lastActivity = Clock::now();
    char error[CURL_ERROR_SIZE] = "";
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error);
    const CURLcode code = curl_easy_perform(easy);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    // Without a response head nothing usable arrived; a body that cannot be decoded is no
    // more use than none.
    if (code != CURLE_OK && (!exchange.headersComplete || code == CURLE_BAD_CONTENT_ENCODING)) {
        Exchange failed;
        failed.timeLimitHit = exchange.timeLimitHit;
        failed.cancelled = exchange.cancelled;
        failed.contentEncoding = exchange.contentEncoding;
        failed.code = code;
        failed.error = error[0] != '\0' ? error : curl_easy_strerror(code);
        curl_easy_getinfo(easy, CURLINFO_SSL_VERIFYRESULT, &failed.certificateVerdict);
        return failed;
    }
    return exchange;
}

// What a person can do something about, from OpenSSL's verdict on the certificate (the
// X509_V_ERR_* numbers, stable across OpenSSL versions) or, failing that, libcurl's words.
Text TlsFailureReason(const Exchange& exchange) {
    switch (exchange.certificateVerdict) {
        case 10:  // X509_V_ERR_CERT_HAS_EXPIRED
            return kReasonCertExpired;
        case 9:  // X509_V_ERR_CERT_NOT_YET_VALID
            return kReasonCertNotYetValid;
        case 18:  // X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT
        case 19:  // X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN
            return kReasonSelfSigned;
        case 20:  // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY
        case 21:  // X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE
            return kReasonCertUntrusted;
        case 23:  // X509_V_ERR_CERT_REVOKED
            return kReasonCertRevoked;
        case 62:  // X509_V_ERR_HOSTNAME_MISMATCH
            return kReasonCertOtherName;
        default:
            break;
    }
    // libcurl checks the name itself with some TLS back ends, after OpenSSL said yes.
    const std::string& text = exchange.error;
    if (text.find("subject name") != std::string::npos ||
        text.find("does not match target host") != std::string::npos) {
        return kReasonCertOtherName;
    }
    return kReasonTlsFailed;
}

// The short phrase for a transfer that brought no response, worded as the Windows client's.
Text FailureReason(const Exchange& exchange) {
    switch (exchange.code) {
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_ABORTED_BY_CALLBACK:  // the time limit or a silent server
            return kReasonTimedOut;
        case CURLE_COULDNT_RESOLVE_HOST:
            return kReasonNotResolved;
        case CURLE_COULDNT_CONNECT:
            return kReasonRefused;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            return kReasonConnectionLost;
        case CURLE_BAD_CONTENT_ENCODING:
            return Text(kReasonUndecodable) + u" (" + Utf8ToWide(exchange.contentEncoding) + u")";
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
            return TlsFailureReason(exchange);
        default:
            return u"network error (libcurl: " + Utf8ToWide(exchange.error) + u")";
    }
}

Text EffectiveUrl(CURL* easy) {
    char* url = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
    return url == nullptr ? Text() : Utf8ToWide(url);
}

Text CappedHeader(const std::string& value, size_t maxLength) {
    Text text = Utf8ToWide(value);
    return text.size() <= maxLength ? text : Text();
}

// A handle for one Get: an idle one with its kept-alive connections, else a new one; null
// when the session is closed.
CURL* TakeHandle(Session& session) {
    std::lock_guard<std::mutex> lock(session.mutex);
    if (!session.open) {
        return nullptr;
    }
    CURL* easy = nullptr;
    if (!session.idle.empty()) {
        easy = session.idle.back();
        session.idle.pop_back();
    } else {
        easy = curl_easy_init();
        if (easy == nullptr) {
            return nullptr;
        }
        SetSessionOptions(easy, session.headers);
        curl_easy_setopt(easy, CURLOPT_SHARE, session.share);
    }
    ++session.busy;
    return easy;
}

void ReturnHandle(Session& session, CURL* easy) {
    {
        std::lock_guard<std::mutex> lock(session.mutex);
        session.idle.push_back(easy);
        --session.busy;
    }
    session.returned.notify_all();
}

// Hands the handle back on every path out of a Get.
class BorrowedHandle {
  public:
    explicit BorrowedHandle(Session& session) : session_(session), easy_(TakeHandle(session)) {}
    ~BorrowedHandle() {
        if (easy_ != nullptr) {
            ReturnHandle(session_, easy_);
        }
    }
    BorrowedHandle(const BorrowedHandle&) = delete;
    BorrowedHandle& operator=(const BorrowedHandle&) = delete;

    CURL* get() const { return easy_; }

  private:
    Session& session_;
    CURL* easy_;
};

}  // namespace

bool Http::Init() {
    static std::once_flag globalInit;
    std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    Session& session = TheSession();
    std::lock_guard<std::mutex> lock(session.mutex);
    if (session.open) {
        return true;
    }
    session.share = curl_share_init();
    if (session.share == nullptr) {
        return false;
    }
    curl_share_setopt(session.share, CURLSHOPT_LOCKFUNC, LockShare);
    curl_share_setopt(session.share, CURLSHOPT_UNLOCKFUNC, UnlockShare);
    curl_share_setopt(session.share, CURLSHOPT_USERDATA, &session);
    for (curl_lock_data data :
         {CURL_LOCK_DATA_COOKIE, CURL_LOCK_DATA_DNS, CURL_LOCK_DATA_SSL_SESSION}) {
        curl_share_setopt(session.share, CURLSHOPT_SHARE, data);
    }
    // "Accept:" with no value removes libcurl's default Accept header.
    for (const char* header : {"Accept:", "Pragma: no-cache", "Cache-Control: no-cache"}) {
        session.headers = curl_slist_append(session.headers, header);
    }
    session.open = true;
    return true;
}

void Http::Close() {
    Session& session = TheSession();
    std::unique_lock<std::mutex> lock(session.mutex);
    // A Get that is still running when Close comes too early is waited for rather than
    // having its handle freed underneath it.
    session.returned.wait(lock, [&] { return session.busy == 0; });
    for (CURL* easy : session.idle) {
        curl_easy_cleanup(easy);
    }
    session.idle.clear();
    if (session.share != nullptr) {
        curl_share_cleanup(session.share);
        session.share = nullptr;
    }
    curl_slist_free_all(session.headers);
    session.headers = nullptr;
    session.open = false;
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
    BorrowedHandle handle(TheSession());
    if (handle.get() == nullptr) {
        result.reason = kReasonClosed;
        return result;
    }
    const UrlParts parts = ParseUrl(address);
    if (!parts.valid || !IsConnectablePort(parts.port)) {
        result.reason = kReasonInvalidAddress;
        return result;
    }

    const Clock::time_point deadline = Clock::now() + TimeLimit();
    CURL* easy = handle.get();
    const std::string agent = WideToUtf8(UserAgentHeaderValue(userAgent));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str());
    SetTrustLocations(easy);

    std::string url = RequestUrl(parts);
    Exchange exchange;
    int redirects = 0;
    for (;; ++redirects) {
        exchange = Perform(easy, url, deadline, cancel, sink ? &sink : nullptr);
        const bool secure = StartsWithNoCase(url, "https:");
        char* location = nullptr;
        curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
        if (!IsRedirectStatus(exchange.status) || location == nullptr) {
            break;
        }
        const std::string next = location;
        if (secure && StartsWithNoCase(next, "http:")) {
            break;  // never from https to http: this redirect is the answer
        }
        if (redirects == kMaxRedirects) {
            result.reason = kReasonTooManyRedirects;
            return result;
        }
        if (exchange.timeLimitHit) {
            result.reason = kReasonTimedOut;
            return result;
        }
        if (!(StartsWithNoCase(next, "http:") || StartsWithNoCase(next, "https:"))) {
            result.reason = kReasonOtherScheme;
            return result;
        }
        url = next;
    }
    if (exchange.cancelled) {
        result.reason = kReasonCancelled;  // a page cut off by a cancel is no answer
        return result;
    }
    if (exchange.status == 0) {
        result.reason = FailureReason(exchange);
        // Behind a TLS failure, the library's own words help whoever reads the debug log;
        // the reason itself stays in words the site's owner can act on.
        if (result.reason != kReasonRefused && result.reason != kReasonNotResolved &&
            result.reason != kReasonTimedOut) {
            DebugLog::Write(u"Fetch failed: " + Utf8ToWide(url) + u": " + result.reason +
                            u" (libcurl: " + Utf8ToWide(exchange.error) + u")");
        }
        return result;
    }

    result.status = exchange.status;
    result.finalUrl = redirects == 0 ? address : EffectiveUrl(easy);
    result.body = std::move(exchange.body);
    result.contentType = CappedHeader(exchange.contentType, kMaxContentTypeLength);
    result.lastModified = CappedHeader(exchange.lastModified, kMaxLastModifiedLength);
    result.headers = std::move(exchange.keptHeaders);
    return result;
}

}  // namespace bcnk
