#pragma once
// One sitemap file read as it arrives: an XML urlset, an XML sitemap index or a plain list of
// addresses, one a line. Memory stays bounded whatever the file holds: only the address being
// read is buffered, and an address, a tag or a line longer than crawlers accept is dropped.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "common/text.h"

namespace bcnk {

enum class SitemapKind {
    Unknown,     // nothing readable yet
    UrlSet,      // <urlset>: page addresses
    Index,       // <sitemapindex>: addresses of further sitemaps
    PlainText,   // one address a line
    Html,        // a web page (often an error page sent with status 200)
    NotSitemap,  // XML with some other root element
};

// "urlset", "sitemap index", "text", "HTML page", "not a sitemap" or "empty".
Text SitemapKindName(SitemapKind kind);

struct SitemapEntry {
    Text url;
    Text lastmod;  // as written, W3C date-time; empty when absent
    bool operator==(const SitemapEntry&) const = default;
};

// Crawlers read at most this much of one file, and this many addresses.
inline constexpr std::size_t kSitemapMaxEntries = 50000;
inline constexpr std::size_t kSitemapMaxBytes = 50 * 1024 * 1024;
// An address longer than this is no address a crawler takes.
inline constexpr std::size_t kSitemapMaxAddressLength = 2048;

class SitemapParser {
  public:
    using EntrySink = std::function<void(const SitemapEntry&)>;

    explicit SitemapParser(EntrySink onEntry, std::size_t maxEntries = kSitemapMaxEntries,
                           std::size_t maxBytes = kSitemapMaxBytes);

    // Takes the next piece of the (decoded) file. False once reading should stop: the file
    // is not a sitemap, or a limit is reached.
    bool Feed(std::string_view bytes);
    // The end of the file: a last line without a line end still counts.
    void Finish();

    SitemapKind Kind() const { return kind_; }
    std::size_t Entries() const { return entries_; }
    std::size_t Bytes() const { return bytes_; }
    bool LimitReached() const { return limitReached_; }

  private:
    enum class Mode { Start, Text, Markup, Comment, CData, Lines };

    bool Step(char c);
    void StartMarkup();
    void EndMarkup();
    void OnTag(std::string_view tag);
    void OnLine();
    void Emit(std::string url, std::string lastmod);
    bool Stopped() const;

    EntrySink onEntry_;
    std::size_t maxEntries_;
    std::size_t maxBytes_;
    std::size_t bytes_ = 0;
    std::size_t entries_ = 0;
    bool limitReached_ = false;
    int bomBytes_ = 0;  // bytes of a leading byte-order mark seen; 3 once past it
    SitemapKind kind_ = SitemapKind::Unknown;
    Mode mode_ = Mode::Start;
    std::string tag_;       // the markup being read, up to its '>'
    bool tagTooLong_ = false;
    std::string text_;      // text of <loc> or <lastmod> being read, or the current line
    bool textTooLong_ = false;
    std::string endMark_;   // last characters seen in a comment or CDATA section
    enum class Field { None, Loc, Lastmod } field_ = Field::None;
    bool inItem_ = false;   // inside <url> or <sitemap>
    int depth_ = 0;         // open elements: the root is 1, <url> 2, <loc> 3
    std::string loc_;
    std::string lastmod_;
};

}  // namespace bcnk
