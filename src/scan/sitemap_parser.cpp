#include "scan/sitemap_parser.h"

#include <algorithm>

#include "analysis/html_parser.h"

namespace bcnk {

namespace {

// Longer markup is some attribute soup, not part of a sitemap; it is skipped, not kept.
constexpr std::size_t kMaxTagLength = 4096;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::string_view TrimBytes(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool StartsWithFolded(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
        if (c != lowerPrefix[i]) {
            return false;
        }
    }
    return true;
}

// The element name without its namespace prefix: "image:loc" is "loc" here, and the nesting
// depth tells it from the sitemap's own <loc>.
std::string_view LocalName(std::string_view tag) {
    const std::size_t end = std::min(tag.size(), tag.find_first_of(" \t\r\n/"));
    std::string_view name = tag.substr(0, end);
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

Text SitemapKindName(SitemapKind kind) {
    switch (kind) {
        case SitemapKind::UrlSet:
            return u"urlset";
        case SitemapKind::Index:
            return u"sitemap index";
        case SitemapKind::PlainText:
            return u"text";
        case SitemapKind::Html:
            return u"HTML page";
        case SitemapKind::NotSitemap:
            return u"not a sitemap";
        case SitemapKind::Unknown:
            break;
    }
    return u"empty";
}

SitemapParser::SitemapParser(EntrySink onEntry, std::size_t maxEntries, std::size_t maxBytes)
    : onEntry_(std::move(onEntry)), maxEntries_(maxEntries), maxBytes_(maxBytes) {}

bool SitemapParser::Stopped() const {
    return limitReached_ || kind_ == SitemapKind::Html || kind_ == SitemapKind::NotSitemap;
}

bool SitemapParser::Feed(std::string_view bytes) {
    const bool cut = bytes_ + bytes.size() > maxBytes_;
    if (cut) {
        bytes = bytes.substr(0, maxBytes_ - std::min(maxBytes_, bytes_));
    }
    bytes_ += bytes.size();
    for (const char c : bytes) {
        if (!Step(c)) {
            return false;
        }
    }
    // Set only now: the bytes up to the limit are read like any others.
    limitReached_ = limitReached_ || cut;
    return !Stopped();
}

void SitemapParser::Finish() {
    if (mode_ == Mode::Lines && !Stopped()) {
        OnLine();
    }
}

bool SitemapParser::Step(char c) {
    switch (mode_) {
        case Mode::Start:
            // A byte-order mark may come in pieces as small as one byte.
            if (IsBlank(c) || (bomBytes_ < 3 && c == "\xEF\xBB\xBF"[bomBytes_])) {
                bomBytes_ += IsBlank(c) ? 3 : 1;
                return true;
            }
            if (c == '<') {
                StartMarkup();
                return true;
            }
            kind_ = SitemapKind::PlainText;
            mode_ = Mode::Lines;
            return Step(c);
        case Mode::Lines:
            if (c == '\n') {
                OnLine();
            } else if (text_.size() < kSitemapMaxAddressLength) {
                text_ += c;
            } else {
                textTooLong_ = true;
            }
            return !Stopped();
        case Mode::Text:
            if (c == '<') {
                StartMarkup();
            } else if (field_ != Field::None) {
                if (text_.size() < kSitemapMaxAddressLength) {
                    text_ += c;
                } else {
                    textTooLong_ = true;
                }
            }
            return true;
        case Mode::Markup:
            if (c == '>') {
                EndMarkup();
                return !Stopped();
            }
            if (tag_.size() < kMaxTagLength) {
                tag_ += c;
            } else {
                tagTooLong_ = true;
            }
            if (tag_ == "!--") {
                mode_ = Mode::Comment;
                endMark_.clear();
            } else if (tag_ == "![CDATA[") {
                mode_ = Mode::CData;
                endMark_.clear();
            }
            return true;
        case Mode::Comment:
            endMark_ += c;
            if (endMark_.size() > 3) {
                endMark_.erase(0, endMark_.size() - 3);
            }
            if (endMark_ == "-->") {
                mode_ = Mode::Text;
            }
            return true;
        case Mode::CData:
            // "]" may start the closing "]]>"; held back until the next character tells.
            if (c == '>' && endMark_.size() >= 2) {
                endMark_.resize(endMark_.size() - 2);
                c = '\0';
                mode_ = Mode::Text;
            } else if (c == ']') {
                endMark_ += c;
                return true;
            }
            if (field_ != Field::None && text_.size() < kSitemapMaxAddressLength) {
                text_ += endMark_;
                if (c != '\0') {
                    text_ += c;
                }
            }
            endMark_.clear();
            return true;
    }
    return true;
}

void SitemapParser::StartMarkup() {
    mode_ = Mode::Markup;
    tag_.clear();
    tagTooLong_ = false;
}

void SitemapParser::EndMarkup() {
    mode_ = Mode::Text;
    if (tagTooLong_) {
        return;
    }
    OnTag(tag_);
}

void SitemapParser::OnTag(std::string_view tag) {
    if (tag.empty() || tag.front() == '?') {
        return;
    }
    if (tag.front() == '!') {
        if (kind_ == SitemapKind::Unknown && StartsWithFolded(tag, "!doctype html")) {
            kind_ = SitemapKind::Html;
        }
        return;
    }
    if (tag.front() == '/') {
        const std::string_view name = LocalName(tag.substr(1));
        if (field_ != Field::None && depth_ == 3) {
            std::string& target = field_ == Field::Loc ? loc_ : lastmod_;
            target = textTooLong_ ? std::string() : std::string(TrimBytes(text_));
            field_ = Field::None;
        } else if (inItem_ && depth_ == 2 && (name == "url" || name == "sitemap")) {
            inItem_ = false;
            Emit(std::move(loc_), std::move(lastmod_));
        }
        depth_ = std::max(0, depth_ - 1);
        return;
    }
    const bool selfClosing = tag.back() == '/';
    const std::string_view name = LocalName(tag);
    if (kind_ == SitemapKind::Unknown) {
        kind_ = StartsWithFolded(name, "html") && name.size() == 4 ? SitemapKind::Html
                : name == "urlset"                                ? SitemapKind::UrlSet
                : name == "sitemapindex"                          ? SitemapKind::Index
                                                                  : SitemapKind::NotSitemap;
    } else if (depth_ == 1 && (name == "url" || name == "sitemap") && !selfClosing) {
        inItem_ = true;
        loc_.clear();
        lastmod_.clear();
    } else if (inItem_ && depth_ == 2 && !selfClosing && (name == "loc" || name == "lastmod")) {
        field_ = name == "loc" ? Field::Loc : Field::Lastmod;
        text_.clear();
        textTooLong_ = false;
    }
    if (!selfClosing) {
        ++depth_;
    }
}

void SitemapParser::OnLine() {
    const std::string line(TrimBytes(text_));
    const bool tooLong = textTooLong_;
    text_.clear();
    textTooLong_ = false;
    if (!line.empty() && !tooLong) {
        Emit(line, std::string());
    }
}

void SitemapParser::Emit(std::string url, std::string lastmod) {
    if (url.empty() || entries_ >= maxEntries_) {
        return;
    }
    SitemapEntry entry;
    entry.url = Utf8ToWide(url);
    entry.lastmod = Utf8ToWide(lastmod);
    if (kind_ != SitemapKind::PlainText) {
        entry.url = Trim(DecodeEntities(entry.url));
        entry.lastmod = Trim(DecodeEntities(entry.lastmod));
    }
    ++entries_;
    if (entries_ >= maxEntries_) {
        limitReached_ = true;
    }
    onEntry_(entry);
}

}  // namespace bcnk
