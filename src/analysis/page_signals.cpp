#include "analysis/page_signals.h"

#include <algorithm>
#include <array>

#include "analysis/html_parser.h"
#include "analysis/html_text.h"

namespace bcnk {
namespace {

// Directives whose name carries a value after ":"; any other "word:" in an X-Robots-Tag
// value names the crawler the following directives are for.
constexpr std::array<TextView, 4> kValuedDirectives = {
    u"max-snippet", u"max-image-preview", u"max-video-preview", u"unavailable_after"};

bool IsValuedDirective(const Text& name) {
    return std::find(kValuedDirectives.begin(), kValuedDirectives.end(), TextView(name)) !=
           kValuedDirectives.end();
}

// True when the unit behind a tag name ends it, so "<link" does not match "<linkx".
bool EndsTagName(TextView page, size_t at) {
    return at >= page.size() || page[at] == u'>' || page[at] == u'/' || IsSpace(page[at]);
}

TextView TagAt(TextView page, size_t lessThan, size_t& end) {
    end = FindUnit(page, u'>', lessThan);
    return end == kNotFound ? TextView() : page.substr(lessThan, end - lessThan + 1);
}

// The head ends at its closing tag or where the body begins, whichever the page has first.
size_t HeadEnd(TextView page, const MarkupIndex& index) {
    const size_t closing = FindTagMarker(page, index, u"</head", 0);
    const size_t body = FindTagMarker(page, index, u"<body", 0);
    return std::min({closing, body, page.size()});
}

std::vector<NamedMeta> ReadNamedMetas(TextView page, const MarkupIndex& index) {
    std::vector<NamedMeta> metas;
    size_t from = 0;
    while (metas.size() < kMaxNamedMetas) {
        const size_t start = FindTagMarker(page, index, u"<meta", from);
        if (start == kNotFound) {
            break;
        }
        size_t end;
        const Text tag(TagAt(page, start, end));
        if (end == kNotFound) {
            break;
        }
        from = end + 1;
        Text name = ToLower(GetAttribute(tag, u"name"));
        if (!name.empty() && name != u"description") {
            metas.push_back({std::move(name), DecodeEntities(GetAttribute(tag, u"content"))});
        }
    }
    return metas;
}

bool RelNamesCanonical(const Text& rel) {
    const Text folded = ToLower(rel);
    size_t at = 0;
    while (at < folded.size()) {
        while (at < folded.size() && IsSpace(folded[at])) {
            ++at;
        }
        size_t end = at;
        while (end < folded.size() && !IsSpace(folded[end])) {
            ++end;
        }
        if (TextView(folded).substr(at, end - at) == u"canonical") {
            return true;
        }
        at = end;
    }
    return false;
}

Text ReadCanonicalHref(TextView page, const MarkupIndex& index) {
    const size_t headEnd = HeadEnd(page, index);
    size_t from = 0;
    for (;;) {
        const size_t start = FindTagMarker(page, index, u"<link", from);
        if (start == kNotFound || start >= headEnd) {
            return Text();
        }
        from = start + 5;
        if (!EndsTagName(page, from)) {
            continue;
        }
        size_t end;
        const Text tag(TagAt(page, start, end));
        if (end == kNotFound) {
            return Text();
        }
        from = end + 1;
        if (RelNamesCanonical(GetAttribute(tag, u"rel"))) {
            Text href = GetAttribute(tag, u"href");
            if (!href.empty()) {
                return href;
            }
        }
    }
}

// The text a visitor sees: the body's markup without scripts and styles.
Text VisibleText(TextView page, const MarkupIndex& index) {
    size_t from = 0;
    const size_t body = FindTagMarker(page, index, u"<body", 0);
    if (body != kNotFound) {
        const size_t open = FindUnit(page, u'>', body);
        from = open == kNotFound ? page.size() : open + 1;
    }
    Text visible;
    while (from < page.size()) {
        const size_t script = FindTagMarker(page, index, u"<script", from);
        const size_t style = FindTagMarker(page, index, u"<style", from);
        const size_t cut = std::min(script, style);
        visible += StripMarkup(page.substr(from, cut == kNotFound ? TextView::npos : cut - from));
        if (cut == kNotFound) {
            break;
        }
        visible += u' ';
        const size_t close =
            FindTagMarker(page, index, cut == script ? u"</script" : u"</style", cut);
        const size_t closeEnd = close == kNotFound ? kNotFound : FindUnit(page, u'>', close);
        if (closeEnd == kNotFound) {
            break;
        }
        from = closeEnd + 1;
    }
    return DecodeEntities(visible);
}

std::uint64_t TextFingerprint(const Text& text) {
    constexpr std::uint64_t kOffset = 14695981039346656037ULL;
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    std::uint64_t hash = kOffset;
    bool any = false;
    bool pendingSpace = false;
    auto mix = [&](char16_t unit) {
        hash = (hash ^ (unit & 0xFFu)) * kPrime;
        hash = (hash ^ (unit >> 8)) * kPrime;
    };
    for (const char16_t unit : text) {
        if (IsSpace(unit)) {
            pendingSpace = any;
            continue;
        }
        if (pendingSpace) {
            mix(u' ');
            pendingSpace = false;
        }
        mix(FoldUnit(unit));
        any = true;
    }
    return any ? hash : 0;
}

// "max-snippet : 20" and "max-snippet:20" are one directive; its name is folded, a date
// after unavailable_after keeps its letters.
Text NormalizedDirective(const Text& piece) {
    const size_t colon = piece.find(u':');
    if (colon == Text::npos) {
        return ToLower(Trim(piece));
    }
    Text out = ToLower(Trim(piece.substr(0, colon)));
    out += u':';
    const Text value = Trim(piece.substr(colon + 1));
    if (!value.empty() && out == u"unavailable_after:") {
        out += u' ';
    }
    out += value;
    return out;
}

std::vector<Text> SplitOnCommas(const Text& value) {
    std::vector<Text> pieces;
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(u',', start);
        pieces.push_back(value.substr(start, comma == Text::npos ? Text::npos : comma - start));
        if (comma == Text::npos) {
            return pieces;
        }
        start = comma + 1;
    }
}

bool StartsWithDigit(const Text& text) {
    return !text.empty() && text.front() >= u'0' && text.front() <= u'9';
}

}  // namespace

PageSignals ReadPageSignals(TextView page, const MarkupIndex& index) {
    PageSignals signals;
    signals.metas = ReadNamedMetas(page, index);
    signals.canonicalHref = ReadCanonicalHref(page, index);
    signals.textHash = TextFingerprint(VisibleText(page, index));
    return signals;
}

std::vector<AgentDirective> ParseRobotsDirectives(const Text& value, const Text& agent,
                                                  bool headerForm) {
    std::vector<AgentDirective> directives;
    Text addressee = ToLower(Trim(agent));
    for (const Text& raw : SplitOnCommas(value)) {
        Text piece = Trim(raw);
        // The dates of unavailable_after hold a comma of their own ("Wed, 03 Dec 2025").
        if (!directives.empty() && StartsWithDigit(piece) &&
            directives.back().directive.starts_with(u"unavailable_after:")) {
            directives.back().directive += u", " + piece;
            continue;
        }
        const size_t colon = piece.find(u':');
        if (headerForm && colon != Text::npos) {
            const Text name = ToLower(Trim(piece.substr(0, colon)));
            if (!IsValuedDirective(name) && name.find(u' ') == Text::npos && !name.empty()) {
                addressee = name;
                piece = Trim(piece.substr(colon + 1));
            }
        }
        if (!piece.empty()) {
            directives.push_back({addressee, NormalizedDirective(piece)});
        }
    }
    return directives;
}

Text CanonicalFromLinkHeaders(const std::vector<Text>& linkValues) {
    for (const Text& value : linkValues) {
        size_t at = 0;
        while ((at = value.find(u'<', at)) != Text::npos) {
            const size_t close = value.find(u'>', at);
            if (close == Text::npos) {
                break;
            }
            const Text target = Trim(value.substr(at + 1, close - at - 1));
            const size_t next = value.find(u'<', close);
            const Text params =
                value.substr(close + 1, next == Text::npos ? Text::npos : next - close - 1);
            at = close + 1;
            for (Text param : SplitOnCommas(params)) {
                size_t semicolon = 0;
                while ((semicolon = param.find(u';', semicolon)) != Text::npos) {
                    const Text rest = Trim(param.substr(semicolon + 1));
                    const Text folded = ToLower(rest);
                    if (folded.starts_with(u"rel")) {
                        const size_t equals = rest.find(u'=');
                        Text rel = equals == Text::npos ? Text() : Trim(rest.substr(equals + 1));
                        rel = rel.substr(0, rel.find(u';'));
                        std::erase(rel, u'"');
                        if (!target.empty() && RelNamesCanonical(rel)) {
                            return target;
                        }
                    }
                    ++semicolon;
                }
            }
        }
    }
    return Text();
}

}  // namespace bcnk
