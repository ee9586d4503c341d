#include "analysis/html_tree.h"

#include <array>
#include <cstring>

#include "analysis/entities.h"
#include "analysis/entity_table.h"

namespace bcnk {

namespace {

struct TagName {
    std::string_view name;
    Tag tag;
};

constexpr TagName kTagNames[] = {
    {"html", Tag::kHtml},         {"head", Tag::kHead},         {"body", Tag::kBody},
    {"title", Tag::kTitle},       {"meta", Tag::kMeta},         {"script", Tag::kScript},
    {"style", Tag::kStyle},       {"noscript", Tag::kNoscript}, {"template", Tag::kTemplate},
    {"svg", Tag::kSvg},           {"math", Tag::kMath},         {"iframe", Tag::kIframe},
    {"object", Tag::kObject},     {"embed", Tag::kEmbed},       {"canvas", Tag::kCanvas},
    {"video", Tag::kVideo},       {"audio", Tag::kAudio},       {"picture", Tag::kPicture},
    {"source", Tag::kSource},     {"form", Tag::kForm},         {"input", Tag::kInput},
    {"button", Tag::kButton},     {"select", Tag::kSelect},     {"option", Tag::kOption},
    {"textarea", Tag::kTextarea}, {"label", Tag::kLabel},       {"fieldset", Tag::kFieldset},
    {"dialog", Tag::kDialog},     {"nav", Tag::kNav},           {"header", Tag::kHeader},
    {"footer", Tag::kFooter},     {"aside", Tag::kAside},       {"main", Tag::kMain},
    {"article", Tag::kArticle},   {"section", Tag::kSection},   {"div", Tag::kDiv},
    {"span", Tag::kSpan},         {"p", Tag::kP},               {"br", Tag::kBr},
    {"hr", Tag::kHr},             {"h1", Tag::kH1},             {"h2", Tag::kH2},
    {"h3", Tag::kH3},             {"h4", Tag::kH4},             {"h5", Tag::kH5},
    {"h6", Tag::kH6},             {"ul", Tag::kUl},             {"ol", Tag::kOl},
    {"li", Tag::kLi},             {"dl", Tag::kDl},             {"dt", Tag::kDt},
    {"dd", Tag::kDd},             {"menu", Tag::kMenu},         {"table", Tag::kTable},
    {"caption", Tag::kCaption},   {"thead", Tag::kThead},       {"tbody", Tag::kTbody},
    {"tfoot", Tag::kTfoot},       {"tr", Tag::kTr},             {"td", Tag::kTd},
    {"th", Tag::kTh},             {"colgroup", Tag::kColgroup}, {"col", Tag::kCol},
    {"pre", Tag::kPre},           {"code", Tag::kCode},         {"kbd", Tag::kKbd},
    {"samp", Tag::kSamp},         {"blockquote", Tag::kBlockquote},
    {"figure", Tag::kFigure},     {"figcaption", Tag::kFigcaption},
    {"img", Tag::kImg},           {"a", Tag::kA},               {"b", Tag::kB},
    {"strong", Tag::kStrong},     {"i", Tag::kI},               {"em", Tag::kEm},
    {"small", Tag::kSmall},       {"sub", Tag::kSub},           {"sup", Tag::kSup},
    {"details", Tag::kDetails},   {"summary", Tag::kSummary},   {"address", Tag::kAddress},
    {"link", Tag::kLink},         {"base", Tag::kBase},         {"wbr", Tag::kWbr},
    {"area", Tag::kArea},         {"param", Tag::kParam},       {"track", Tag::kTrack},
    {"hgroup", Tag::kHgroup},     {"time", Tag::kTime},         {"mark", Tag::kMark},
    {"abbr", Tag::kAbbr},         {"cite", Tag::kCite},         {"q", Tag::kQ},
    {"u", Tag::kU},               {"s", Tag::kS},               {"del", Tag::kDel},
    {"ins", Tag::kIns},           {"image", Tag::kImg},
};

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool IsAsciiSpace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

Tag LookUpTag(std::string_view name) {
    if (name.size() > 10) {
        return Tag::kOther;
    }
    char folded[10];
    for (size_t k = 0; k < name.size(); ++k) {
        folded[k] = Fold(name[k]);
    }
    const std::string_view key(folded, name.size());
    for (const TagName& entry : kTagNames) {
        if (entry.name == key) {
            return entry.tag;
        }
    }
    return Tag::kOther;
}

// What may stand in a page's head; anything else starts the body.
bool BelongsInHead(Tag tag) {
    switch (tag) {
        case Tag::kTitle: case Tag::kMeta: case Tag::kLink: case Tag::kBase: case Tag::kStyle:
        case Tag::kScript: case Tag::kNoscript: case Tag::kTemplate: case Tag::kHead:
        case Tag::kHtml:
            return true;
        default:
            return false;
    }
}

bool IsVoid(Tag tag) {
    switch (tag) {
        case Tag::kMeta: case Tag::kBr: case Tag::kHr: case Tag::kImg: case Tag::kInput:
        case Tag::kSource: case Tag::kLink: case Tag::kBase: case Tag::kWbr: case Tag::kArea:
        case Tag::kParam: case Tag::kTrack: case Tag::kCol: case Tag::kEmbed:
            return true;
        default:
            return false;
    }
}

// Elements whose content is not markup: the tokenizer looks only for their end tag.
// <noscript> is read as markup, as a browser without scripts reads it: some sites serve
// their whole text there for readers that run none.
bool IsRawText(Tag tag) {
    switch (tag) {
        case Tag::kScript: case Tag::kStyle: case Tag::kTextarea: case Tag::kTitle:
        case Tag::kTemplate: case Tag::kIframe:
            return true;
        default:
            return false;
    }
}

// Start tags that end an open paragraph.
bool ClosesParagraph(Tag tag) {
    switch (tag) {
        case Tag::kAddress: case Tag::kArticle: case Tag::kAside: case Tag::kBlockquote:
        case Tag::kDetails: case Tag::kDiv: case Tag::kDl: case Tag::kFieldset:
        case Tag::kFigcaption: case Tag::kFigure: case Tag::kFooter: case Tag::kForm:
        case Tag::kH1: case Tag::kH2: case Tag::kH3: case Tag::kH4: case Tag::kH5: case Tag::kH6:
        case Tag::kHeader: case Tag::kHgroup: case Tag::kHr: case Tag::kMain: case Tag::kMenu:
        case Tag::kNav: case Tag::kOl: case Tag::kP: case Tag::kPre: case Tag::kSection:
        case Tag::kTable: case Tag::kUl: case Tag::kDialog: case Tag::kLi: case Tag::kDd:
        case Tag::kDt: case Tag::kSummary:
            return true;
        default:
            return false;
    }
}

// Elements an implied end tag does not reach through.
bool IsScopeBoundary(Tag tag) {
    switch (tag) {
        case Tag::kHtml: case Tag::kTable: case Tag::kTd: case Tag::kTh: case Tag::kCaption:
        case Tag::kObject: case Tag::kTemplate: case Tag::kButton:
            return true;
        default:
            return false;
    }
}

bool IsListBoundary(Tag tag) {
    switch (tag) {
        case Tag::kUl: case Tag::kOl: case Tag::kMenu: case Tag::kDl: case Tag::kTable:
        case Tag::kTd: case Tag::kTh: case Tag::kBody: case Tag::kHtml: case Tag::kArticle:
        case Tag::kSection: case Tag::kNav: case Tag::kAside: case Tag::kMain:
        case Tag::kHeader: case Tag::kFooter: case Tag::kBlockquote:
            return true;
        default:
            return false;
    }
}

bool IsHeading(Tag tag) { return tag >= Tag::kH1 && tag <= Tag::kH6; }

class TreeBuilder {
  public:
    explicit TreeBuilder(std::string_view page) : page_(page) {
        tree_.nodes.reserve(page.size() / 24 + 16);
        tree_.attributes.reserve(page.size() / 40 + 16);
        tree_.nodes.emplace_back();
        tree_.nodes[0].tag = Tag::kHtml;
        open_.reserve(64);
        open_.push_back(0);
    }

    HtmlTree Build() {
        size_t position = 0;
        const size_t size = page_.size();
        while (position < size) {
            const void* found = std::memchr(page_.data() + position, '<', size - position);
            if (found == nullptr) {
                AddText(position, size);
                break;
            }
            const size_t lessThan = static_cast<const char*>(found) - page_.data();
            if (lessThan > position) {
                AddText(position, lessThan);
            }
            position = Markup(lessThan);
        }
        return std::move(tree_);
    }

  private:
    size_t Find(std::string_view what, size_t from) const {
        const size_t at = page_.find(what, from);
        return at == std::string_view::npos ? page_.size() : at;
    }

    size_t Behind(size_t at, size_t length) const {
        return at >= page_.size() ? page_.size() : at + length;
    }

    // Reads the markup at `lessThan`; returns where the text after it starts.
    size_t Markup(size_t lessThan) {
        const size_t size = page_.size();
        if (lessThan + 1 >= size) {
            AddText(lessThan, size);
            return size;
        }
        const char next = page_[lessThan + 1];
        if (next == '!') {
            if (page_.substr(lessThan, 4) == "<!--") {
                return Behind(Find("-->", lessThan + 4), 3);
            }
            return Behind(Find(">", lessThan), 1);
        }
        if (next == '?') {
            return Behind(Find(">", lessThan), 1);
        }
        if (next == '/') {
            size_t index = lessThan + 2;
            if (index < size && IsAsciiLetter(page_[index])) {
                const size_t nameStart = index;
                while (index < size && !IsAsciiSpace(page_[index]) && page_[index] != '>' &&
                       page_[index] != '/') {
                    ++index;
                }
                EndTag(page_.substr(nameStart, index - nameStart));
            }
            return Behind(Find(">", index), 1);
        }
        if (!IsAsciiLetter(next)) {
            AddText(lessThan, lessThan + 1);
            return lessThan + 1;
        }
        return StartTag(lessThan);
    }

    size_t StartTag(size_t lessThan) {
        const size_t size = page_.size();
        size_t index = lessThan + 1;
        while (index < size && !IsAsciiSpace(page_[index]) && page_[index] != '>' &&
               page_[index] != '/') {
            ++index;
        }
        const std::string_view name = page_.substr(lessThan + 1, index - lessThan - 1);
        const std::uint32_t firstAttribute = static_cast<std::uint32_t>(tree_.attributes.size());
        bool selfClosed = false;
        while (index < size) {
            const char c = page_[index];
            if (c == '>') {
                break;
            }
            if (IsAsciiSpace(c) || c == '/') {
                selfClosed = c == '/';
                ++index;
                continue;
            }
            selfClosed = false;
            const size_t nameStart = index;
            while (index < size && !IsAsciiSpace(page_[index]) && page_[index] != '>' &&
                   page_[index] != '/' && (page_[index] != '=' || index == nameStart)) {
                ++index;
            }
            HtmlAttribute attribute{page_.substr(nameStart, index - nameStart), {}};
            size_t look = index;
            while (look < size && IsAsciiSpace(page_[look])) {
                ++look;
            }
            if (look < size && page_[look] == '=') {
                ++look;
                while (look < size && IsAsciiSpace(page_[look])) {
                    ++look;
                }
                if (look < size && (page_[look] == '"' || page_[look] == '\'')) {
                    const size_t close = Find(std::string_view(&page_[look], 1), look + 1);
                    attribute.value = page_.substr(look + 1, close - look - 1);
                    index = Behind(close, 1);
                } else {
                    const size_t valueStart = look;
                    while (look < size && !IsAsciiSpace(page_[look]) && page_[look] != '>') {
                        ++look;
                    }
                    attribute.value = page_.substr(valueStart, look - valueStart);
                    index = look;
                }
            }
            tree_.attributes.push_back(attribute);
        }
        const size_t after = Behind(index, 1);
        const Tag tag = LookUpTag(name);
        const std::uint32_t node = OpenElement(tag, name, selfClosed);
        HtmlNode& element = tree_.nodes[node];
        element.firstAttribute = firstAttribute;
        element.attributeCount = static_cast<std::uint32_t>(tree_.attributes.size()) - firstAttribute;
        if (IsRawText(tag) && !selfClosed) {
            return RawText(node, name, after);
        }
        return after;
    }

    size_t RawText(std::uint32_t node, std::string_view name, size_t from) {
        const size_t size = page_.size();
        // A template's content is markup, so templates inside it pair with their own end
        // tags; the other raw-text elements end at the first end tag of their name.
        const bool nests = tree_.nodes[node].tag == Tag::kTemplate;
        size_t depth = 0;
        size_t end = from;
        for (;;) {
            end = nests ? Find("<", end) : Find("</", end);
            if (end >= size) {
                break;
            }
            const bool closing = end + 1 < size && page_[end + 1] == '/';
            const size_t nameAt = end + (closing ? 2 : 1);
            if (nameAt + name.size() <= size &&
                NameIs(page_.substr(nameAt, name.size()), LowerName(name))) {
                if (closing && depth == 0) {
                    break;
                }
                depth = closing ? depth - 1 : depth + 1;
            }
            end = nameAt;
        }
        if (end > from) {
            AppendChild(node, NewNode(Tag::kText, page_.substr(from, end - from)));
        }
        PopThrough(node);
        return end >= size ? size : Behind(Find(">", end), 1);
    }

    std::string_view LowerName(std::string_view name) {
        lowered_.assign(name.begin(), name.end());
        for (char& c : lowered_) {
            c = Fold(c);
        }
        return lowered_;
    }

    std::uint32_t NewNode(Tag tag, std::string_view text) {
        const std::uint32_t index = static_cast<std::uint32_t>(tree_.nodes.size());
        tree_.nodes.emplace_back();
        tree_.nodes.back().tag = tag;
        tree_.nodes.back().text = text;
        return index;
    }

    void AppendChild(std::uint32_t parent, std::uint32_t child) {
        HtmlNode& up = tree_.nodes[parent];
        HtmlNode& node = tree_.nodes[child];
        node.parent = parent;
        node.depth = up.depth + 1;
        if (up.lastChild != 0) {
            tree_.nodes[up.lastChild].nextSibling = child;
        } else {
            up.firstChild = child;
        }
        up.lastChild = child;
    }

    void AddText(size_t from, size_t to) {
        if (openHead_ != 0 && Current() == Tag::kHead &&
            page_.find_first_not_of(" \t\r\n\f", from) < to) {
            CloseHead();
        }
        const std::uint32_t parent = open_.back();
        const std::uint32_t last = tree_.nodes[parent].lastChild;
        if (last != 0 && tree_.nodes[last].tag == Tag::kText) {
            HtmlNode& text = tree_.nodes[last];
            if (text.text.data() + text.text.size() == page_.data() + from) {
                text.text = std::string_view(text.text.data(), text.text.size() + (to - from));
                return;
            }
        }
        AppendChild(parent, NewNode(Tag::kText, page_.substr(from, to - from)));
    }

    Tag Current() const { return tree_.nodes[open_.back()].tag; }

    // Index in open_ of the nearest open element with `tag` below no boundary, or 0.
    size_t FindOpen(Tag tag, bool (*boundary)(Tag)) const {
        for (size_t k = open_.size() - 1; k > 0; --k) {
            const Tag open = tree_.nodes[open_[k]].tag;
            if (open == tag) {
                return k;
            }
            if (boundary(open)) {
                return 0;
            }
        }
        return 0;
    }

    void PopTo(size_t depth) {
        if (depth > 0 && depth < open_.size()) {
            open_.resize(depth);
        }
    }

    void PopThrough(std::uint32_t node) {
        for (size_t k = open_.size() - 1; k > 0; --k) {
            if (open_[k] == node) {
                open_.resize(k);
                return;
            }
        }
    }

    void ImpliedEnds(Tag tag) {
        if (ClosesParagraph(tag)) {
            PopTo(FindOpen(Tag::kP, IsScopeBoundary));
        }
        switch (tag) {
            case Tag::kLi:
                PopTo(FindOpen(Tag::kLi, IsListBoundary));
                break;
            case Tag::kDt:
            case Tag::kDd:
                PopTo(FindOpen(Tag::kDt, IsListBoundary));
                PopTo(FindOpen(Tag::kDd, IsListBoundary));
                break;
            case Tag::kTr:
                PopTo(FindOpen(Tag::kTr, [](Tag t) { return t == Tag::kTable; }));
                break;
            case Tag::kTd:
            case Tag::kTh:
                PopTo(FindOpen(Tag::kTd, [](Tag t) { return t == Tag::kTr || t == Tag::kTable; }));
                PopTo(FindOpen(Tag::kTh, [](Tag t) { return t == Tag::kTr || t == Tag::kTable; }));
                break;
            case Tag::kThead:
            case Tag::kTbody:
            case Tag::kTfoot:
                for (Tag section : {Tag::kThead, Tag::kTbody, Tag::kTfoot}) {
                    PopTo(FindOpen(section, [](Tag t) { return t == Tag::kTable; }));
                }
                break;
            case Tag::kButton:
                // Buttons do not nest: one left open ends where the next begins.
                PopTo(FindOpen(Tag::kButton, IsScopeBoundary));
                break;
            case Tag::kOption:
                if (Current() == Tag::kOption) {
                    open_.pop_back();
                }
                break;
            case Tag::kA: {
                // A link inside a link ends the outer one, as browsers do; but blocks opened
                // inside the outer link stay open there (browsers move them out of it and keep
                // them), or their end tags would close the page's own containers.
                const size_t outer = FindOpen(Tag::kA, IsScopeBoundary);
                bool onlyInline = outer > 0;
                for (size_t k = outer + 1; onlyInline && k < open_.size(); ++k) {
                    const Tag above = tree_.nodes[open_[k]].tag;
                    onlyInline = !ClosesParagraph(above) && above != Tag::kLi;
                }
                if (onlyInline) {
                    PopTo(outer);
                }
                break;
            }
            default:
                if (IsHeading(tag) && IsHeading(Current())) {
                    open_.pop_back();
                }
                break;
        }
    }

    // A head whose end tag is missing ends where the body's content starts, as in browsers;
    // left open, it would take the whole page for head matter.
    void CloseHead() {
        PopThrough(openHead_);
        openHead_ = 0;
    }

    std::uint32_t OpenElement(Tag tag, std::string_view name, bool selfClosed) {
        if (openHead_ != 0 && Current() == Tag::kHead && !BelongsInHead(tag)) {
            CloseHead();
        }
        if (tag == Tag::kHtml || tag == Tag::kBody || tag == Tag::kHead) {
            // One document: a second html or body start tag adds nothing.
            const std::uint32_t node = NewNode(tag, name);
            AppendChild(open_.back(), node);
            if (tag == Tag::kHead) {
                open_.push_back(node);
                openHead_ = node;
            }
            return node;
        }
        if (tag != Tag::kText && tag != Tag::kOther) {
            ImpliedEnds(tag);
        }
        const std::uint32_t node = NewNode(tag, name);
        tree_.nodes[node].selfClosed = selfClosed;
        AppendChild(open_.back(), node);
        // A foreign element written "<x/>" is closed at once; an HTML one is not, but the
        // void ones never hold content anyway.
        const bool foreign = selfClosed && (tag == Tag::kOther || tag == Tag::kSvg);
        if (!IsVoid(tag) && !foreign && open_.size() < kMaxTreeDepth) {
            open_.push_back(node);
        }
        return node;
    }

    void EndTag(std::string_view name) {
        const Tag tag = LookUpTag(name);
        if (tag == Tag::kBr) {
            AppendChild(open_.back(), NewNode(Tag::kBr, name));
            return;
        }
        if (tag == Tag::kBody || tag == Tag::kHtml) {
            return;
        }
        if (tag == Tag::kHead) {
            openHead_ = 0;
        }
        for (size_t k = open_.size() - 1; k > 0; --k) {
            const HtmlNode& open = tree_.nodes[open_[k]];
            // Any heading's end tag closes the open heading ("<h2>Sign up</h6>").
            const bool same = open.tag == tag || (IsHeading(tag) && IsHeading(open.tag));
            if (same && (tag != Tag::kOther || NameIs(open.text, LowerName(name)))) {
                open_.resize(k);
                return;
            }
            // A stray </li> does not reach through a list to close an item around it.
            if (tag == Tag::kLi && (open.tag == Tag::kUl || open.tag == Tag::kOl)) {
                return;
            }
            // A stray end tag inside a table cell must not close the table around it. A button
            // bounds only paragraphs: an end tag closes one left open ("<button/>" is no
            // empty element), as browsers do.
            if (IsScopeBoundary(open.tag) && open.tag != Tag::kButton && tag != Tag::kTable &&
                tag != Tag::kTd && tag != Tag::kTh && tag != Tag::kObject) {
                return;
            }
        }
    }

    std::string_view page_;
    HtmlTree tree_;
    std::vector<std::uint32_t> open_;
    std::uint32_t openHead_ = 0;  // the head element while it is open
    std::string lowered_;
};

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool NameIs(std::string_view name, std::string_view folded) {
    if (name.size() != folded.size()) {
        return false;
    }
    for (size_t k = 0; k < name.size(); ++k) {
        if (Fold(name[k]) != folded[k]) {
            return false;
        }
    }
    return true;
}

bool ContainsFolded(std::string_view text, std::string_view folded) {
    for (size_t at = 0; at + folded.size() <= text.size(); ++at) {
        if (NameIs(text.substr(at, folded.size()), folded)) {
            return true;
        }
    }
    return false;
}

std::string_view HtmlTree::Attribute(std::uint32_t node, std::string_view foldedName) const {
    const HtmlNode& element = nodes[node];
    for (std::uint32_t k = 0; k < element.attributeCount; ++k) {
        const HtmlAttribute& attribute = attributes[element.firstAttribute + k];
        if (NameIs(attribute.name, foldedName)) {
            return attribute.value;
        }
    }
    return {};
}

bool HtmlTree::HasAttribute(std::uint32_t node, std::string_view foldedName) const {
    const HtmlNode& element = nodes[node];
    for (std::uint32_t k = 0; k < element.attributeCount; ++k) {
        if (NameIs(attributes[element.firstAttribute + k].name, foldedName)) {
            return true;
        }
    }
    return false;
}

HtmlTree BuildHtmlTree(std::string_view page) { return TreeBuilder(page).Build(); }

void AppendDecoded(std::string_view raw, std::string& out) {
    size_t index = 0;
    while (index < raw.size()) {
        const size_t ampersand = raw.find('&', index);
        if (ampersand == std::string_view::npos) {
            out.append(raw.substr(index));
            return;
        }
        out.append(raw.substr(index, ampersand - index));
        // References are ASCII: widen enough bytes for the longest name, its "&" and ";",
        // and the character behind a legacy name that the decoder looks at.
        std::array<char16_t, kLongestEntityName + 3> wide{};
        size_t length = 0;
        while (length < wide.size() && ampersand + length < raw.size() &&
               static_cast<unsigned char>(raw[ampersand + length]) < 0x80) {
            wide[length] = static_cast<char16_t>(raw[ampersand + length]);
            ++length;
        }
        DecodedReference decoded;
        const size_t behind = DecodeReference(std::u16string_view(wide.data(), length), 0, decoded);
        if (behind == 0) {
            out += '&';
            index = ampersand + 1;
        } else {
            AppendUtf8(decoded.first, out);
            if (decoded.second != 0) {
                AppendUtf8(decoded.second, out);
            }
            index = ampersand + behind;
        }
    }
}

}  // namespace bcnk
