// Http on WinHTTP: one synchronous session with automatic proxy and the platform's own
// redirect policy (every redirect except https to http). Certificate checks stay at the
// platform's defaults: do NOT add SECURITY_FLAG_IGNORE_* options here, they would accept
// any server that claims the name.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

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

// Owns one WinHTTP handle. Close may come from the time-limit thread while the owner is
// blocked in a call on the handle: closing the handle is how WinHTTP cancels a synchronous
// call, and the owner's later calls then see a null handle and fail at once.
class InternetHandle {
  public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() { Close(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const { return handle_.load(); }
    explicit operator bool() const { return get() != nullptr; }
    void Close() {
        if (HINTERNET handle = handle_.exchange(nullptr)) {
            WinHttpCloseHandle(handle);
        }
    }

  private:
    std::atomic<HINTERNET> handle_;
};

// Closes the request when the Get's time is up. Declared after the request it guards, so
// it is stopped before the request is closed on the ordinary path.
class RequestTimeLimit {
  public:
    RequestTimeLimit(std::chrono::milliseconds limit, InternetHandle& request)
        : watcher_([this, limit, &request] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!wake_.wait_for(lock, limit, [this] { return finished_; })) {
                  request.Close();
              }
          }) {}
    ~RequestTimeLimit() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        wake_.notify_one();
        watcher_.join();
    }
    RequestTimeLimit(const RequestTimeLimit&) = delete;
    RequestTimeLimit& operator=(const RequestTimeLimit&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool finished_ = false;
    std::thread watcher_;  // last: starts once the members above exist
};

std::atomic<HINTERNET> session{nullptr};

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

// Reads until the body ends, a call fails (the time limit closes the request, or the
// connection breaks) or kMaxBodyBytes are held; what was read is kept in every case.
void ReadBody(const InternetHandle& request, std::string& body) {
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available) || available == 0) {
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
        const BOOL ok = WinHttpReadData(request.get(), body.data() + held, wanted, &read);
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
        return result;
    }
    const UrlParts parts = ParseUrl(address);
    if (!parts.valid || !IsConnectablePort(parts.port)) {
        return result;
    }

    InternetHandle connection(
        WinHttpConnect(sessionHandle, Wide(parts.host), static_cast<INTERNET_PORT>(parts.port), 0));
    if (!connection) {
        return result;
    }
    const Text target = RequestTarget(parts.path);
    // The refresh flag bypasses caches: WinHTTP adds Pragma and Cache-Control: no-cache.
    const DWORD flags = WINHTTP_FLAG_REFRESH | (parts.secure ? WINHTTP_FLAG_SECURE : 0);
    InternetHandle request(WinHttpOpenRequest(connection.get(), L"GET", Wide(target), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              flags));
    if (!request) {
        return result;
    }
    const Text header = u"User-Agent: " + UserAgentHeaderValue(userAgent) + u"\r\n";
    WinHttpAddRequestHeaders(request.get(), Wide(header), static_cast<DWORD>(-1),
                             WINHTTP_ADDREQ_FLAG_ADD);

    // The wait for the response head has a time-out of its own, apart from the per-read
    // one; bound it by the time limit too, since not every WinHTTP lets the closing of a
    // request interrupt that wait.
    const std::chrono::milliseconds limit = TimeLimit();
    DWORD headWait = Milliseconds(limit);
    WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headWait,
                     sizeof headWait);
    const RequestTimeLimit timeLimit(limit, request);
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr)) {
        return result;
    }

    DWORD status = 0;
    DWORD size = sizeof status;
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                            WINHTTP_NO_HEADER_INDEX)) {
        result.status = static_cast<int>(status);
    }
    result.contentType =
        QueryHeaderText<kMaxContentTypeLength + 1>(request.get(), WINHTTP_QUERY_CONTENT_TYPE);
    result.lastModified =
        QueryHeaderText<kMaxLastModifiedLength + 1>(request.get(), WINHTTP_QUERY_LAST_MODIFIED);
    ReadBody(request, result.body);
    return result;
}

}  // namespace bcnk
