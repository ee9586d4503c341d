#pragma once
// A small element tree of a UTF-8 page, for the main-content extraction. It follows the
// browser's rules only as far as content choice needs: void elements, raw-text elements,
// the end tags a paragraph, list item, table cell or option implies, and end tags that close
// whatever is open above their element. Nodes are stored in document order in one array, so
// a child always comes after its parent and totals can be gathered by one backward sweep.
// Text and attribute values are views into the page as written (references not decoded):
// the page must outlive the tree.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bcnk {

// Elements the extraction treats in a way of their own; everything else is kOther.
enum class Tag : std::uint8_t {
    kOther, kText, kHtml, kHead, kBody, kTitle, kMeta, kScript, kStyle, kNoscript, kTemplate,
    kSvg, kMath, kIframe, kObject, kEmbed, kCanvas, kVideo, kAudio, kPicture, kSource,
    kForm, kInput, kButton, kSelect, kOption, kTextarea, kLabel, kFieldset, kDialog,
    kNav, kHeader, kFooter, kAside, kMain, kArticle, kSection, kDiv, kSpan,
    kP, kBr, kHr, kH1, kH2, kH3, kH4, kH5, kH6, kUl, kOl, kLi, kDl, kDt, kDd, kMenu,
    kTable, kCaption, kThead, kTbody, kTfoot, kTr, kTd, kTh, kColgroup, kCol,
    kPre, kCode, kKbd, kSamp, kBlockquote, kFigure, kFigcaption, kImg, kA,
    kB, kStrong, kI, kEm, kSmall, kSub, kSup, kDetails, kSummary, kAddress, kLink, kBase,
    kWbr, kArea, kParam, kTrack, kHgroup, kTime, kMark, kAbbr, kCite, kQ, kU, kS, kDel, kIns,
};

struct HtmlAttribute {
    std::string_view name;   // as written; compare with NameIs
    std::string_view value;  // as written, references not decoded
};

struct HtmlNode {
    Tag tag = Tag::kOther;
    bool selfClosed = false;
    std::uint32_t parent = 0;
    std::uint32_t firstChild = 0;   // 0: none (node 0 is the root and never a child)
    std::uint32_t nextSibling = 0;  // 0: none
    std::uint32_t lastChild = 0;
    std::uint32_t firstAttribute = 0;
    std::uint32_t attributeCount = 0;
    std::uint32_t depth = 0;
    // Text nodes: the text as written. Elements: the tag name as written (kOther keeps it so
    // that custom elements can still be told apart); raw-text elements hold their content in
    // their one text child.
    std::string_view text;
};

struct HtmlTree {
    std::vector<HtmlNode> nodes;  // nodes[0] is the document root
    std::vector<HtmlAttribute> attributes;

    std::string_view Attribute(std::uint32_t node, std::string_view foldedName) const;
    bool HasAttribute(std::uint32_t node, std::string_view foldedName) const;
};

// Elements deeper than this are attached to the element at this depth, so every walk over
// the tree may recurse safely.
inline constexpr std::uint32_t kMaxTreeDepth = 200;

HtmlTree BuildHtmlTree(std::string_view page);

// ASCII-case-insensitive equality with a lower-case pattern.
bool NameIs(std::string_view name, std::string_view folded);

// Whether the text holds the lower-case pattern, ASCII case ignored.
bool ContainsFolded(std::string_view text, std::string_view folded);

// Appends the text with character references decoded (UTF-8 in, UTF-8 out).
void AppendDecoded(std::string_view raw, std::string& out);

}  // namespace bcnk
