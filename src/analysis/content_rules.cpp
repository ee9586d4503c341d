#include "analysis/content_rules.h"

#include <initializer_list>
#include <string>

namespace bcnk {

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Words of class and id values that name page furniture. A word matches when it is one of
// these, or begins or ends with one ("topnav", "navbar", "site-footer" splits at "-").
constexpr std::string_view kFurnitureWords[] = {
    "nav",        "navbar",    "navigation", "menu",      "breadcrumb", "breadcrumbs",
    "footer",     "sidebar",   "cookie",     "cookies",   "consent",    "gdpr",
    "share",      "sharing",   "social",     "related",   "newsletter", "subscribe",
    "subscription", "promo",   "advert",     "advertisement", "ads",    "sponsored",
    "popup",      "popover",   "modal",      "overlay",   "masthead",
    "toolbar",    "pagination", "pager",     "signup",    "login",      "offcanvas",
    "drawer",     "recommended", "trending", "outbrain",
    "taboola",    "byline",    "tags",       "tagcloud",  "disclaimer", "copyright",
    "reviews",    "yotpo",     "okendo",     "jdgm",      "bazaarvoice", "trustpilot",
    // and the small print around pictures and pages: photo credits, notices, feedback forms
    "credit",     "photo",     "notice",     "feedback",
};

// Words of the lines around an article's text: who wrote it and when.
constexpr std::string_view kBylineWords[] = {
    "author", "authors", "meta", "byline", "dateline", "postmeta", "posted",
    "timestamp", "avatar", "bio",
};

// And on forums, who posted and how the others rated it.
constexpr std::string_view kPosterWords[] = {
    "signature", "userinfo", "postprofile", "memberinfo", "usertitle", "badges", "reputation",
    "reactions", "votes",
    // and the panels beside each post: the poster's rank, join date and counts
    "userextras", "userextra", "userbanner", "authorstats", "authorfields", "extrauserinfo",
    "userstats", "usermedals",
    // and the tallies on each post
    "vote", "voting", "voters", "upvote", "upvoter", "downvote", "likes",
};

// Words that begin or end longer class words for the same furniture.
constexpr std::string_view kFurnitureAffixes[] = {
    "nav", "menu", "footer", "sidebar", "cookie", "breadcrumb", "newsletter", "share",
    "social", "popup", "modal",
};

constexpr std::string_view kCommentWords[] = {
    "comment", "comments", "commentlist", "respond", "reply", "replies", "disqus",
};

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

template <typename Match>
bool AnyWord(std::string_view value, Match&& match) {
    size_t at = 0;
    char folded[40];
    while (at < value.size()) {
        while (at < value.size() && !IsWordChar(value[at])) {
            ++at;
        }
        size_t end = at;
        while (end < value.size() && IsWordChar(value[end])) {
            ++end;
        }
        if (end > at && end - at <= sizeof folded) {
            for (size_t k = at; k < end; ++k) {
                folded[k - at] = Fold(value[k]);
            }
            if (match(std::string_view(folded, end - at))) {
                return true;
            }
        }
        at = end;
    }
    return false;
}

// Of those, the words of navigation: what they name is a set of links, so an element of
// running text that carries one ("content-nav-section", "contextmenu") is something else.
bool IsNavigationWord(std::string_view word) {
    for (const std::string_view name : {"nav", "navbar", "navigation", "menu", "breadcrumb",
                                        "breadcrumbs", "pagination", "pager", "toolbar"}) {
        if (word == name) {
            return true;
        }
    }
    for (const std::string_view affix : {"nav", "menu", "breadcrumb"}) {
        if (word.size() > affix.size() + 1 &&
            (word.substr(0, affix.size()) == affix ||
             word.substr(word.size() - affix.size()) == affix)) {
            return true;
        }
    }
    return false;
}

bool IsFurnitureWord(std::string_view word) {
    for (const std::string_view name : kFurnitureWords) {
        if (word == name) {
            return true;
        }
    }
    for (const std::string_view affix : kFurnitureAffixes) {
        if (word.size() > affix.size() + 1 &&
            (word.substr(0, affix.size()) == affix ||
             word.substr(word.size() - affix.size()) == affix)) {
            return true;
        }
    }
    return false;
}

bool HasDigit(std::string_view value) {
    for (const char c : value) {
        if (c >= '0' && c <= '9') {
            return true;
        }
    }
    return false;
}

bool IsPosterWord(std::string_view word) {
    for (const std::string_view name : kPosterWords) {
        if (word == name) {
            return true;
        }
    }
    return false;
}

bool IsBylineWord(std::string_view word) {
    for (const std::string_view name : kBylineWords) {
        if (word == name) {
            return true;
        }
    }
    return IsPosterWord(word);
}

// Links drawn as buttons are calls to act ("Get started", "Request a demo", "Quick shop"),
// not text of the page.
bool IsButtonWord(std::string_view word) {
    for (const std::string_view name : {"btn", "button", "cta"}) {
        if (word == name || (word.size() > name.size() + 1 &&
                             (word.substr(0, name.size()) == name ||
                              word.substr(word.size() - name.size()) == name))) {
            return true;
        }
    }
    return false;
}

bool IsCommentWord(std::string_view word) {
    for (const std::string_view name : kCommentWords) {
        if (word == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           c == '_' || c >= 0x80;
}

std::uint32_t CountRawWords(std::string_view text) {
    std::uint32_t words = 0;
    bool inWord = false;
    for (const char c : text) {
        const bool word = IsWordByte(static_cast<unsigned char>(c));
        words += word && !inWord;
        inWord = word;
    }
    return words;
}

namespace {

std::uint32_t CountWords(std::string_view text) {
    std::uint32_t words = 0;
    bool inWord = false;
    for (const char c : text) {
        const bool word = IsWordChar(c) || static_cast<unsigned char>(c) >= 0x80;
        words += word && !inWord;
        inWord = word;
    }
    return words;
}

// Whether the element's text has at most `limit` words, counting no further than that.
bool FewWords(const HtmlTree& tree, std::uint32_t element, std::uint32_t limit) {
    const std::uint32_t depth = tree.nodes[element].depth;
    std::uint32_t words = 0;
    for (std::uint32_t n = element + 1; n < tree.nodes.size() && tree.nodes[n].depth > depth; ++n) {
        if (tree.nodes[n].tag != Tag::kText) {
            continue;
        }
        words += CountWords(tree.nodes[n].text);
        if (words > limit) {
            return false;
        }
    }
    return true;
}

// "Please enable JavaScript to use this site": what a page shows in place of its content
// when scripts do not run, which is no content either.
bool AsksForScripts(const HtmlTree& tree, std::uint32_t element) {
    if (!FewWords(tree, element, kScriptNoticeWords)) {
        return false;
    }
    const std::uint32_t depth = tree.nodes[element].depth;
    for (std::uint32_t n = element + 1; n < tree.nodes.size() && tree.nodes[n].depth > depth; ++n) {
        if (tree.nodes[n].tag == Tag::kText && ContainsFolded(tree.nodes[n].text, "javascript")) {
            return true;
        }
    }
    return false;
}

bool IsPanelWord(std::string_view word) {
    for (const std::string_view name :
         {"tab", "tabs", "tabpanel", "panel", "accordion", "collapse", "faq", "answer"}) {
        if (word == name) {
            return true;
        }
    }
    return false;
}

bool IsFoldedPanel(const HtmlTree& tree, std::uint32_t node) {
    return NameIs(tree.Attribute(node, "role"), "tabpanel") ||
           AnyWord(tree.Attribute(node, "class"), IsPanelWord);
}

// Hidden by markup. Inline "display:none" is left alone on purpose: tabs and accordions
// fold real content away that way, and readers of the page open them.
bool IsHidden(const HtmlTree& tree, std::uint32_t node) {
    if (tree.HasAttribute(node, "hidden")) {
        // Streamed server rendering parks finished parts in hidden "S:n" elements that a
        // script moves into place: they are the page's content, and so are the panels of
        // tabs and accordions that a reader has not opened yet.
        return tree.Attribute(node, "id").substr(0, 2) != "S:" && !IsFoldedPanel(tree, node);
    }
    // aria-hidden only keeps assistive software away: what sighted readers see stays,
    // icons and glyph labels go.
    if (NameIs(tree.Attribute(node, "aria-hidden"), "true") &&
        FewWords(tree, node, kAriaHiddenMaxWords)) {
        return true;
    }
    return false;
}

// Text only screen readers reach ("Thread starter", "Opens in a new window", "Rated 4 out of
// 5"): a label for a control or an icon, not a line of the page, when short.
// Whether a class token, read without its dashes and underscores, ends with one of `names`:
// style sheets spell one idea as "post-count", "MessageCard__post-count" or "postCount".
bool ClassTokenEndsWith(const HtmlTree& tree, std::uint32_t node,
                        std::initializer_list<std::string_view> names) {
    const std::string_view value = tree.Attribute(node, "class");
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    // Compares each token's word characters with a name from their ends backwards.
    const auto endsWith = [&](size_t begin, size_t end, std::string_view name) {
        size_t k = name.size();
        for (size_t at = end; at > begin && k > 0; --at) {
            const char c = value[at - 1];
            if (!IsWordChar(c)) {
                continue;
            }
            if (Fold(c) != name[k - 1]) {
                return false;
            }
            --k;
        }
        return k == 0;
    };
    size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && isSpace(value[at])) {
            ++at;
        }
        size_t end = at;
        while (end < value.size() && !isSpace(value[end])) {
            ++end;
        }
        for (const std::string_view name : names) {
            if (end > at && endsWith(at, end, name)) {
                return true;
            }
        }
        at = end;
    }
    return false;
}

// Whether the element's text holds a digit.
bool HoldsDigit(const HtmlTree& tree, std::uint32_t element) {
    const std::uint32_t depth = tree.nodes[element].depth;
    for (std::uint32_t n = element + 1; n < tree.nodes.size() && tree.nodes[n].depth > depth; ++n) {
        if (tree.nodes[n].tag == Tag::kText && HasDigit(tree.nodes[n].text)) {
            return true;
        }
    }
    return false;
}

bool IsScreenReaderText(const HtmlTree& tree, std::uint32_t node) {
    return ClassTokenEndsWith(tree, node, {"sronly", "screenreadertext", "screenreaderonly",
                                           "visuallyhidden", "offscreen"}) &&
           FewWords(tree, node, kScreenReaderMaxWords) && !HoldsDigit(tree, node);
}

// Whether an inline style hides the element ("display: none", any spacing and case).
bool StyleHides(std::string_view style) {
    constexpr std::string_view kWanted = "display:none";
    // Matched with white space skipped, so "Display : none" counts too.
    for (size_t start = 0; start < style.size(); ++start) {
        size_t k = 0;
        for (size_t at = start; at < style.size() && k < kWanted.size(); ++at) {
            const char c = style[at];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                continue;
            }
            if (Fold(c) != kWanted[k]) {
                break;
            }
            ++k;
        }
        if (k == kWanted.size()) {
            return true;
        }
    }
    return false;
}

// A line that a script shows only when it applies ("You are using an out of date browser",
// "Your cart is empty"), hidden by an inline style: panels that readers open are long and
// named as panels, such lines are short.
bool IsHiddenNotice(const HtmlTree& tree, std::uint32_t node) {
    return StyleHides(tree.Attribute(node, "style")) && !IsFoldedPanel(tree, node) &&
           FewWords(tree, node, kHiddenNoticeMaxWords);
}

// A short line hidden by a style sheet's utility class ("hidden", "d-none", "hide") and
// shown by no screen-size variant beside it ("md:block", "d-lg-flex"): a notice or a label a
// script shows when it applies. Panels folded that way are long and stay.
bool IsHiddenByClass(const HtmlTree& tree, std::uint32_t node) {
    const std::string_view value = tree.Attribute(node, "class");
    bool hidden = false;
    size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && (value[at] == ' ' || value[at] == '\t' || value[at] == '\n')) {
            ++at;
        }
        size_t end = at;
        while (end < value.size() && value[end] != ' ' && value[end] != '\t' && value[end] != '\n') {
            ++end;
        }
        const std::string_view token = value.substr(at, end - at);
        for (const std::string_view name : {"hidden", "d-none", "hide", "is-hidden", "u-hidden"}) {
            hidden = hidden || NameIs(token, name);
        }
        // A variant for some screens shows it there.
        if (token.find(':') != std::string_view::npos ||
            (token.size() > 4 && NameIs(token.substr(0, 2), "d-") &&
             token.find("none") == std::string_view::npos)) {
            return false;
        }
        at = end;
    }
    return hidden && !IsFoldedPanel(tree, node) && FewWords(tree, node, kHiddenNoticeMaxWords);
}

// A form with nothing to fill in and more text than links: some forums wrap each post's
// text in one, for editing in place. Its text is the post; a menu of links in a form (a
// "forum jump") stays a form.
bool IsTextForm(const HtmlTree& tree, std::uint32_t form) {
    const std::uint32_t depth = tree.nodes[form].depth;
    std::uint32_t words = 0, linkWords = 0, linkDepth = 0;
    for (std::uint32_t n = form + 1; n < tree.nodes.size() && tree.nodes[n].depth > depth; ++n) {
        const HtmlNode& node = tree.nodes[n];
        if (linkDepth != 0 && node.depth <= linkDepth) {
            linkDepth = 0;
        }
        if (node.tag == Tag::kTextarea || node.tag == Tag::kSelect ||
            (node.tag == Tag::kInput && !NameIs(tree.Attribute(n, "type"), "hidden"))) {
            return false;
        }
        if (node.tag == Tag::kA && linkDepth == 0) {
            linkDepth = node.depth;
        }
        if (node.tag == Tag::kText) {
            const std::uint32_t count = CountWords(node.text);
            words += count;
            linkWords += linkDepth != 0 ? count : 0;
        }
    }
    return linkWords * 2 < words;
}

bool IsBoilerplateRole(std::string_view role) {
    for (const std::string_view name :
         {"navigation", "banner", "contentinfo", "complementary", "search", "dialog",
          "alertdialog", "menu", "menubar", "toolbar"}) {
        if (NameIs(role, name)) {
            return true;
        }
    }
    return false;
}

bool InsideMainPart(const HtmlTree& tree, std::uint32_t node) {
    for (std::uint32_t up = tree.nodes[node].parent; up != 0; up = tree.nodes[up].parent) {
        const Tag tag = tree.nodes[up].tag;
        if (tag == Tag::kArticle || tag == Tag::kMain) {
            return true;
        }
    }
    return false;
}

bool IsNotes(const HtmlTree& tree, std::uint32_t node) {
    const std::string_view role = tree.Attribute(node, "role");
    return NameIs(role, "note") || NameIs(role, "doc-footnote") || NameIs(role, "doc-endnotes") ||
           AnyWord(tree.Attribute(node, "class"), [](std::string_view word) {
               return word == "footnote" || word == "footnotes";
           });
}

bool HoldsMainLandmark(const HtmlTree& tree, std::uint32_t node) {
    const std::uint32_t depth = tree.nodes[node].depth;
    for (std::uint32_t n = node + 1; n < tree.nodes.size() && tree.nodes[n].depth > depth; ++n) {
        if (tree.nodes[n].tag == Tag::kMain || NameIs(tree.Attribute(n, "role"), "main")) {
            return true;
        }
    }
    return false;
}

// Whether a figure shows code or a table rather than a picture.
bool FigureHoldsText(const HtmlTree& tree, std::uint32_t figure) {
    if (tree.nodes[figure].tag != Tag::kFigure) {
        return false;
    }
    const std::uint32_t depth = tree.nodes[figure].depth;
    for (std::uint32_t n = figure + 1; n < tree.nodes.size() && tree.nodes[n].depth > depth; ++n) {
        const Tag tag = tree.nodes[n].tag;
        if (tag == Tag::kPre || tag == Tag::kTable || tag == Tag::kCode) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsDropped(Tag tag) {
    switch (tag) {
        case Tag::kHead: case Tag::kTitle: case Tag::kMeta: case Tag::kScript: case Tag::kStyle:
        case Tag::kTemplate: case Tag::kSvg: case Tag::kMath:
        case Tag::kIframe: case Tag::kObject: case Tag::kEmbed: case Tag::kCanvas:
        case Tag::kVideo: case Tag::kAudio: case Tag::kSource: case Tag::kInput:
        case Tag::kButton: case Tag::kSelect: case Tag::kOption: case Tag::kTextarea:
        case Tag::kDialog: case Tag::kLink: case Tag::kBase: case Tag::kParam: case Tag::kTrack:
        case Tag::kArea:
            return true;
        default:
            return false;
    }
}

RuleHit JudgeElement(const HtmlTree& tree, std::uint32_t node, bool wrapper, bool prose,
                     RuleSet disabled) {
    const Tag tag = tree.nodes[node].tag;
    // What a page shows readers without scripts is usually a line asking for them, unless
    // it is the page's whole text.
    if (tag == Tag::kNoscript && (!wrapper || AsksForScripts(tree, node))) {
        return kRuleHidden;
    }
    if (!(disabled & kRuleHidden) && IsHidden(tree, node)) {
        return kRuleHidden;
    }
    if (!(disabled & kRuleHiddenNotices) && !wrapper && IsHiddenNotice(tree, node)) {
        return kRuleHiddenNotices;
    }
    if (!(disabled & kRuleHiddenClasses) && !wrapper && IsHiddenByClass(tree, node)) {
        return kRuleHiddenClasses;
    }
    if (!(disabled & kRuleScreenReaderText) && !wrapper && IsScreenReaderText(tree, node)) {
        return kRuleScreenReaderText;
    }
    // A poster's post count and join date, and the line saying when a post was last edited.
    if (!(disabled & kRulePosterStats) && !wrapper &&
        ClassTokenEndsWith(tree, node, {"postcount", "joindate", "lastedit"}) &&
        FewWords(tree, node, kScreenReaderMaxWords)) {
        return kRulePosterStats;
    }
    // A popover (the attribute) shows only when a control opens it: a menu, a sign-in card,
    // an app's install steps.
    if (!(disabled & kRulePopovers) && !wrapper && tree.HasAttribute(node, "popover")) {
        return kRulePopovers;
    }
    // The label of a control (a filter, a size, a check box) belongs to the form.
    if (!(disabled & kRuleInterfaceText) && tag == Tag::kLabel && !wrapper) {
        return kRuleInterfaceText;
    }
    // A caption labels a picture (who is in it, who took it); readers of the text in
    // Markdown have no picture to go with it. Captions of code and tables stay.
    if (!(disabled & kRuleCaptions) && tag == Tag::kFigcaption && !wrapper &&
        !FigureHoldsText(tree, tree.nodes[node].parent)) {
        return kRuleCaptions;
    }
    if (!(disabled & kRuleLandmarks)) {
        switch (tag) {
            case Tag::kAside:
                // Footnotes are the text's own, whatever element holds them.
                if (IsNotes(tree, node)) {
                    break;
                }
                [[fallthrough]];
            case Tag::kNav:
                // One left open swallows the rest of the page, the page's main part with it.
                return wrapper && HoldsMainLandmark(tree, node) ? 0 : kRuleLandmarks;
            case Tag::kFooter:
            case Tag::kHeader:
                if (!InsideMainPart(tree, node) || tag == Tag::kFooter) {
                    return wrapper ? 0 : kRuleLandmarks;
                }
                break;
            case Tag::kForm:
                if (!wrapper && !((disabled & kRuleTextForms) == 0 && IsTextForm(tree, node))) {
                    return kRuleLandmarks;
                }
                break;
            default:
                break;
        }
        if (!wrapper && IsBoilerplateRole(tree.Attribute(node, "role"))) {
            return kRuleLandmarks;
        }
    }
    if (wrapper || tag == Tag::kBody || tag == Tag::kHtml || tag == Tag::kMain ||
        tag == Tag::kArticle) {
        return 0;
    }
    const std::string_view names[] = {tree.Attribute(node, "class"), tree.Attribute(node, "id")};
    for (const std::string_view value : names) {
        if (value.empty()) {
            continue;
        }
        const bool keepProse = prose && !(disabled & kRuleNavigationProse);
        if (!(disabled & kRuleClassNames) &&
            AnyWord(value, [keepProse](std::string_view word) {
                return IsFurnitureWord(word) && !(keepProse && IsNavigationWord(word));
            })) {
            return kRuleClassNames;
        }
        // Numbered names ("comment-4711") mark single posts, which on a forum are the
        // content; a comment section of an article is caught by its unnumbered container.
        if (!(disabled & kRuleComments) && !HasDigit(value) && AnyWord(value, IsCommentWord)) {
            return kRuleComments;
        }
        // A byline is a line or a short box; a long text named "meta" or "author" is the
        // post itself.
        if (!(disabled & kRuleBylines) && AnyWord(value, IsBylineWord) &&
            FewWords(tree, node, kBylineMaxWords)) {
            return kRuleBylines;
        }
        if (!(disabled & kRuleInterfaceText) && tag == Tag::kA && AnyWord(value, IsButtonWord)) {
            return kRuleInterfaceText;
        }
    }
    return 0;
}

bool IsUnfilledPlaceholder(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return false;
    }
    text = text.substr(first, text.find_last_not_of(" \t\r\n") + 1 - first);
    const bool opens = text.substr(0, 2) == "{{" || text.substr(0, 2) == "${";
    return opens && text.size() > 3 && text.back() == '}';
}

bool IsPosterPanel(const HtmlTree& tree, std::uint32_t node) {
    return AnyWord(tree.Attribute(node, "class"), IsPosterWord) ||
           AnyWord(tree.Attribute(node, "id"), IsPosterWord);
}

bool IsConsentPanel(const HtmlTree& tree, std::uint32_t node) {
    const auto consentWord = [](std::string_view word) {
        for (const std::string_view name : {"cookie", "cookies", "consent", "gdpr", "onetrust",
                                            "cookiebot"}) {
            if (word == name) {
                return true;
            }
        }
        return false;
    };
    return AnyWord(tree.Attribute(node, "class"), consentWord) ||
           AnyWord(tree.Attribute(node, "id"), consentWord);
}

bool IsFilterPanel(const HtmlTree& tree, std::uint32_t node) {
    const auto filterWord = [](std::string_view word) {
        for (const std::string_view name : {"filter", "filters", "facet", "facets"}) {
            if (word == name || (word.size() > name.size() + 1 &&
                                 (word.starts_with(name) || word.ends_with(name)))) {
                return true;
            }
        }
        return word == "faceted" || word == "refine" || word == "refinement" ||
               word == "refinements";
    };
    // Not the id: pages derive ids from headings ("bloom-filter").
    return AnyWord(tree.Attribute(node, "class"), filterWord);
}

namespace {

// Whether the heading, in lower case with its spacing collapsed and anything before its
// first letter skipped, begins with one of the openings.
template <size_t N>
bool HeadingOpensWith(std::string_view headingText, const std::string_view (&openings)[N]) {
    std::string folded;
    for (const char c : headingText) {
        if (folded.empty() && !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            continue;
        }
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            if (!folded.empty() && folded.back() != ' ') {
                folded += ' ';
            }
            continue;
        }
        folded += Fold(c);
        if (folded.size() > 40) {
            break;
        }
    }
    for (const std::string_view opening : openings) {
        if (folded.compare(0, opening.size(), opening) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsAsideHeading(std::string_view headingText) {
    static constexpr std::string_view kOpenings[] = {
        "related",         "recent posts",   "recent articles", "popular",
        "you may also",    "you might also", "more from",       "read next",
        "read more",       "trending",       "recommended",     "latest posts",
        "latest news",     "latest articles", "more articles",  "more stories",
        "also read",       "share this",     "leave a reply",   "leave a comment",
        "post a comment",  "follow us",      "subscribe",
        "sign up for",     "join our newsletter", "more like this", "similar",
        "other posts",     "explore more",   "keep reading",    "don't miss",
        "most read",       "most popular",   "top stories",
        "customers also",  "customers who",  "people who",      "people also",
        "frequently bought", "recently viewed", "seller's other", "similar items",
        "explore related", "complete the look", "shop the look", "about the author",
        "about the reviewer", "hot comments",
        "join the conversation", "join our mailing", "stay in the loop", "stay connected",
        "connect with us", "you might like", "you may like",   "sponsored",
    };
    return HeadingOpensWith(headingText, kOpenings);
}

bool IsPromptHeading(std::string_view headingText) {
    static constexpr std::string_view kOpenings[] = {
        "create an account", "sign in to comment", "log in to reply", "join the discussion",
        "posting rules",     "posting permissions", "top posters",
    };
    return HeadingOpensWith(headingText, kOpenings);
}

bool IsReadingPromptHeading(std::string_view headingText) {
    static constexpr std::string_view kOpenings[] = {
        "watch next",        "up next",           "what to read next", "more news",
        "more podcasts",     "more posts",        "more blogs",        "more to explore",
        "more in ",          "more on ",          "other interesting", "other popular",
        "other articles",    "latest blogs",      "latest insights",   "latest stories",
        "our latest",        "recent news",       "recent stories",    "suggested",
        "editor's picks",    "editors' picks",    "in case you missed", "you'll also",
        "you will also",     "you may be interested", "you might be interested",
        "continue exploring", "get the latest",   "never miss",        "want more",
        "like what you",     "enjoyed this",      "sign up to",        "sign up and",
        "newsletter",        "written by",        "meet the author",   "share the",
        "share on",          "tags",              "filed under",
    };
    return HeadingOpensWith(headingText, kOpenings);
}

bool IsSourcesHeading(std::string_view headingText) {
    static constexpr std::string_view kOpenings[] = {
        "references", "sources", "article sources", "citations", "bibliography", "works cited",
        "view article sources", "how we reviewed this article", "sources and references",
    };
    // The whole heading, not its opening: "Sources of protein" is a section of the text.
    std::string folded;
    for (const char c : headingText) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ') {
            if (c != ' ' || (!folded.empty() && folded.back() != ' ')) {
                folded += Fold(c);
            }
        }
        if (folded.size() > 40) {
            return false;
        }
    }
    while (!folded.empty() && folded.back() == ' ') {
        folded.pop_back();
    }
    for (const std::string_view opening : kOpenings) {
        if (folded == opening) {
            return true;
        }
    }
    return false;
}

bool IsPostNumber(std::string_view paragraph) {
    size_t at = 0;
    while (at < paragraph.size() && paragraph[at] == ' ') {
        ++at;
    }
    if (at == paragraph.size() || paragraph[at] != '#') {
        return false;
    }
    size_t digits = 0;
    for (++at; at < paragraph.size() && paragraph[at] != ' '; ++at) {
        if (paragraph[at] < '0' || paragraph[at] > '9') {
            return false;
        }
        ++digits;
    }
    while (at < paragraph.size() && paragraph[at] == ' ') {
        ++at;
    }
    return digits != 0 && at == paragraph.size();
}

bool IsInterfaceText(std::string_view paragraph) {
    static constexpr std::string_view kLabels[] = {
        "loading",        "click to expand", "joined",          "messages",
        "reaction score", "points",          "reply with quote", "reply",
        "quote",          "quick view",      "add to cart",     "add to bag",
        "add to basket",  "add to wishlist", "add to wish list", "compare",
        "share",          "offline",         "online",          "show more",
        "see more",       "view more",       "load more",       "back to top",
        "skip to content", "print",          "tweet",           "report",
        "permalink",      "last edited by",  "original poster", "sort by",
        "in stock",       "out of stock",    "sold out",        "quick shop",
        "choose options", "select options",  "view details",    "buy now",
        "shop now",       "sign in",         "log in",          "close",
        "previous",       "next",            "menu",            "search",
        "copy link",      "share this",      "like",            "follow",
        // and the controls and notices around a forum thread
        "not open for further replies", "reset to default", "click to shrink", "print view",
        "thread starter", "discussion starter", "start date", "featured replies",
        "view attachment", "you are not logged in", "jump to",
        // and the counts over a thread's posts ("11 Answers", "76 Replies")
        "answers",        "replies",         "responses",
        // and the calls to act that end each block of a service page
        "learn more",     "read more",       "get started",     "no credit card required",
        // and what articles carry around their text: reading times ("5 min read"), the
        // marks of advertising and embeds, the labels of contents boxes
        "min read",       "advertisement",   "table of contents", "in this article",
        "back to blog",   "book now",
        "view this post on instagram", "discussion about this post",
        // and the buttons and labels a page repeats around any text
        "sponsored",      "view all",        "see all",         "contact us",
        "home",           "back",            "sign up",
        "subscribe",      "register",        "whatsapp",        "facebook",
        "twitter",        "linkedin",        "reddit",          "related posts",
        "related articles", "you may also like", "you might like", "continue reading",
        "write a review", "view cart",       "checkout",        "comments",
    };
    if (paragraph.size() > 32) {
        return false;
    }
    std::string folded;
    for (const char c : paragraph) {
        folded += Fold(c);
    }
    const auto isLetter = [](char c) { return c >= 'a' && c <= 'z'; };
    size_t first = 0, last = folded.size();
    while (first < last && !isLetter(folded[first])) {
        ++first;
    }
    while (last > first && !isLetter(folded[last - 1])) {
        --last;
    }
    const std::string_view core = std::string_view(folded).substr(first, last - first);
    for (const std::string_view label : kLabels) {
        if (core == label) {
            return true;
        }
    }
    return false;
}

bool IsCommentItem(const HtmlTree& tree, std::uint32_t node) {
    if (NameIs(tree.Attribute(node, "itemprop"), "comment")) {
        return true;
    }
    const std::string_view type = tree.Attribute(node, "itemtype");
    constexpr std::string_view kComment = "/comment";
    return type.size() >= kComment.size() &&
           ContainsFolded(type.substr(type.size() - kComment.size()), kComment);
}

bool IsCommentSection(const HtmlTree& tree, std::uint32_t node) {
    for (const std::string_view value :
         {tree.Attribute(node, "class"), tree.Attribute(node, "id")}) {
        if (!HasDigit(value) && AnyWord(value, IsCommentWord)) {
            return true;
        }
    }
    return false;
}

bool IsDiscussionPage(const HtmlTree& tree) {
    const auto names = [](std::string_view text) {
        return text.find("DiscussionForumPosting") != std::string_view::npos ||
               text.find("QAPage") != std::string_view::npos;
    };
    for (std::uint32_t n = 1; n < tree.nodes.size(); ++n) {
        const HtmlNode& node = tree.nodes[n];
        if (node.tag == Tag::kScript && node.firstChild != 0 &&
            NameIs(tree.Attribute(n, "type"), "application/ld+json") &&
            names(tree.nodes[node.firstChild].text)) {
            return true;
        }
        if (node.tag != Tag::kText && names(tree.Attribute(n, "itemtype"))) {
            return true;
        }
    }
    return false;
}

bool IsMainHint(const HtmlTree& tree, std::uint32_t node) {
    const Tag tag = tree.nodes[node].tag;
    if (tag == Tag::kMain || tag == Tag::kArticle) {
        return true;
    }
    if (NameIs(tree.Attribute(node, "role"), "main")) {
        return true;
    }
    const std::string_view itemprop = tree.Attribute(node, "itemprop");
    return ContainsFolded(itemprop, "articlebody") || ContainsFolded(itemprop, "text");
}

}  // namespace bcnk
