#pragma once
// The program's only network client: one process-wide HTTP session and a blocking GET.
// WinHTTP stands behind it on Windows (http_winhttp.cpp), libcurl elsewhere (http_curl.cpp).
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace bcnk {

// One response header the scan reads, as the server sent it: the name lower-cased, the value
// trimmed of surrounding blanks.
struct HttpHeader {
    Text name;
    Text value;
    bool operator==(const HttpHeader&) const = default;
};

// The response headers a fetch keeps (lower-case names). Each is read by some part of the
// scan: page directives, canonical and alternate links, usage preferences, back-off, the
// language, and the marks a bot challenge leaves. Others are never kept, so a server cannot
// fill memory through them.
inline constexpr const char* kKeptResponseHeaders[] = {
    "x-robots-tag", "link",        "content-usage",    "tdm-reservation", "tdm-policy",
    "retry-after",  "content-language", "cf-mitigated", "server",
};
// Bounds on what one response can make us keep.
inline constexpr size_t kMaxKeptHeaders = 32;
inline constexpr size_t kMaxKeptHeaderLength = 2048;

// Adds one raw "Name: value" header line (line end optional) to `kept` when its name is one of
// kKeptResponseHeaders and the bounds above leave room; both clients read headers through it.
void KeepResponseHeader(const Text& line, std::vector<HttpHeader>& kept);

struct FetchResult {
    int status = 0;     // final response status; 0 when no response was received
    std::string body;   // bytes as received (gzip and deflate decoded), at most kMaxBodyBytes
    Text contentType;   // empty when absent or longer than 255 characters
    Text lastModified;  // empty when absent or longer than 127 characters
    // Address of the final response: the address asked for when no redirect was followed,
    // else the last redirect's target as the platform client reports it (absolute, with
    // characters outside a request target percent-encoded). Empty when no response came.
    Text finalUrl;
    Text reason;  // why status is 0, a short phrase ("connection refused"); else empty
    // The final response's headers named in kKeptResponseHeaders, in the order received, a
    // repeated header once per line; at most kMaxKeptHeaders, values cut to
    // kMaxKeptHeaderLength.
    std::vector<HttpHeader> headers;

    // Every value of the header `name` (lower case), in order.
    std::vector<Text> HeaderValues(const Text& name) const;
};

// Takes the body of a 2xx answer piece by piece, as it arrives (decoded like any body);
// returning false ends the transfer there, like a body that ended.
using BodySink = std::function<bool(std::string_view piece)>;

class Http {
  public:
    // Bodies are cut here and the rest is never read: it bounds the memory of one page. A
    // compressed body is cut when its decoded bytes reach this.
    static constexpr size_t kMaxBodyBytes = 2097152;
    static constexpr size_t kMaxContentTypeLength = 255;
    static constexpr size_t kMaxLastModifiedLength = 127;

    // Session time-outs. The receive time-out applies to each read, so on its own it would
    // let a server that trickles a byte every few seconds hold one Get, and with it the scan
    // and the Cancel button, for days; kDefaultTimeLimit bounds the whole Get.
    static constexpr std::chrono::milliseconds kResolveTimeout{8000};
    static constexpr std::chrono::milliseconds kConnectTimeout{8000};
    static constexpr std::chrono::milliseconds kSendTimeout{12000};
    static constexpr std::chrono::milliseconds kReceiveTimeout{12000};
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{60000};
    // Redirects followed within one Get, as the platform client does by default.
    static constexpr int kMaxRedirects = 10;

    // Opens the process-wide session; true at once when it is already open.
    static bool Init();
    // Closes the session; every later Get returns an empty result at once. Must not run
    // while a Get is in progress.
    static void Close();
    // Gets may run on several threads at once; they share the session (its cookies, and on
    // Windows its connections) and each keeps its connection alive for the next.
    // Fetches one address with GET. Never throws; every failure is status 0. Redirects are
    // followed, except from https to http (that redirect's own response is returned). When
    // the time limit is reached the fetch ends as if the body had ended there: status,
    // headers and the bytes read so far are kept. gzip and deflate are asked for where the
    // platform client decodes them; a body in an encoding it cannot decode gives status 0.
    static FetchResult Get(const Text& address, const Text& userAgent);
    // The same, but given up within about a second once `cancel` (may be null) is raised,
    // however long the server keeps silent; a Get given up returns status 0. A raised flag
    // sends no request at all.
    static FetchResult Get(const Text& address, const Text& userAgent,
                           const std::atomic<bool>* cancel);

    // A Get for bodies too large to hold (a sitemap may be 50 MiB): the body of a 2xx answer
    // goes to `sink` instead of the result, with no cap but the time limit; other answers
    // keep their bodies as usual.
    static FetchResult Get(const Text& address, const Text& userAgent,
                           const std::atomic<bool>* cancel, const BodySink& sink);

    // Longest time one Get may take, redirects and body included. Tests shorten it.
    static void SetTimeLimit(std::chrono::milliseconds limit);
    static std::chrono::milliseconds TimeLimit();
};

// Reasons for a status of 0 that both clients give in the same words; the others ("TLS
// failure: ...", the fall-back naming the platform's error) carry the platform's own words.
inline constexpr const char16_t* kReasonNotResolved = u"name not resolved";
inline constexpr const char16_t* kReasonRefused = u"connection refused";
inline constexpr const char16_t* kReasonTimedOut = u"timed out";
// The server closed or reset the connection before a whole response head arrived.
inline constexpr const char16_t* kReasonConnectionLost = u"connection closed without an answer";
inline constexpr const char16_t* kReasonTooManyRedirects = u"too many redirects";
inline constexpr const char16_t* kReasonOtherScheme = u"redirect to another scheme";
// Followed by the encoding in parentheses: a body this client cannot decode is no body.
inline constexpr const char16_t* kReasonUndecodable = u"undecodable content encoding";
inline constexpr const char16_t* kReasonInvalidAddress = u"invalid address";
inline constexpr const char16_t* kReasonClosed = u"HTTP client not open";
inline constexpr const char16_t* kReasonCancelled = u"cancelled";
// A refused certificate or handshake, in words a site's owner can act on; the TLS library's
// own text goes to the debug log only.
inline constexpr const char16_t* kReasonCertExpired = u"certificate expired";
inline constexpr const char16_t* kReasonCertNotYetValid = u"certificate not yet valid";
inline constexpr const char16_t* kReasonCertOtherName = u"certificate is for another name";
inline constexpr const char16_t* kReasonSelfSigned = u"self-signed certificate";
inline constexpr const char16_t* kReasonCertUntrusted = u"certificate not trusted";
inline constexpr const char16_t* kReasonCertRevoked = u"certificate revoked";
inline constexpr const char16_t* kReasonTlsFailed = u"TLS handshake failed";

// The User-Agent text as it may go into a header line: cut at the first CR or LF, so that a
// setting can never add header lines of its own.
Text UserAgentHeaderValue(const Text& userAgent);

// The path and query to request. A "#" fragment (only a typed start address carries one)
// names a place inside the page and is never sent to the server.
Text RequestTarget(const Text& parsedPath);

// A port the request can be sent to. ParseUrl keeps whatever number was written; a port
// outside 1..65535 must fail rather than wrap around to some other port.
bool IsConnectablePort(int port);

}  // namespace bcnk
