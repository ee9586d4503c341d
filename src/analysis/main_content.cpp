#include "analysis/main_content.h"

#include <algorithm>

#include "analysis/author_lines.h"
#include "analysis/builder_filler.h"
#include "analysis/content_rules.h"
#include "analysis/head_lines.h"
#include "analysis/html_tree.h"
#include "analysis/json_ld_text.h"
#include "analysis/product_description.h"
#include "analysis/repeated_blocks.h"
#include "analysis/shop_lines.h"
#include "analysis/shop_rules.h"
#include "analysis/thread_lines.h"
#include "analysis/word_chars.h"
#include "common/text.h"
#include "net/url.h"

namespace bcnk {

namespace {

// Lists and quotes kept nested inside one another; real pages rarely go past four.
constexpr int kMaxBlockNesting = 6;
constexpr size_t kMaxLinkAddressBytes = 2048;
// A passage of at least this many words that the content already holds is a copy of it.
constexpr std::uint32_t kRepeatedPassageWords = 16;
// On one product's page, lines of this many words or more are read once.
constexpr std::uint32_t kProductRepeatWords = 3;

bool IsBlockLevel(Tag tag) {
    switch (tag) {
        case Tag::kP: case Tag::kDiv: case Tag::kSection: case Tag::kArticle: case Tag::kMain:
        case Tag::kHeader: case Tag::kFooter: case Tag::kAside: case Tag::kNav:
        case Tag::kH1: case Tag::kH2: case Tag::kH3: case Tag::kH4: case Tag::kH5: case Tag::kH6:
        case Tag::kUl: case Tag::kOl: case Tag::kLi: case Tag::kDl: case Tag::kDt: case Tag::kDd:
        case Tag::kMenu: case Tag::kTable: case Tag::kTr: case Tag::kTd: case Tag::kTh:
        case Tag::kCaption: case Tag::kPre: case Tag::kBlockquote: case Tag::kFigure:
        case Tag::kFigcaption: case Tag::kHr: case Tag::kForm: case Tag::kFieldset:
        case Tag::kAddress: case Tag::kDetails: case Tag::kSummary: case Tag::kHgroup:
        case Tag::kBody: case Tag::kHtml: case Tag::kThead: case Tag::kTbody: case Tag::kTfoot:
            return true;
        default:
            return false;
    }
}

// Collapses white space (ASCII and no-break space) into single spaces while appending.
class SpacedText {
  public:
    explicit SpacedText(std::string& out) : out_(out) {}
    void Append(std::string_view decoded, bool& pendingSpace) {
        for (size_t k = 0; k < decoded.size(); ++k) {
            const char c = decoded[k];
            const bool nbsp = c == '\xC2' && k + 1 < decoded.size() && decoded[k + 1] == '\xA0';
            if (c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f' || nbsp) {
                pendingSpace = true;
                k += nbsp;
                continue;
            }
            if (pendingSpace && !out_.empty()) {
                out_ += ' ';
            }
            pendingSpace = false;
            out_ += c;
        }
    }

  private:
    std::string& out_;
};

struct NodeFacts {
    float good = 0;   // words of text that reads as content
    float bad = 0;    // words of links and stray fragments
    std::uint32_t words = 0;
    std::uint32_t linkWords = 0;
    std::uint32_t headlineWords = 0;  // of links that are the titles of a listing's items
    std::uint32_t allWords = 0;      // the whole subtree's, kept elements only
    std::uint32_t allLinkWords = 0;
};

class Extractor {
  public:
    Extractor(std::string_view page, std::string_view address, RuleSet disabled)
        : tree_(BuildHtmlTree(page)), address_(Utf8ToWide(std::string(address))),
          disabled_(disabled) {}

    MainContent Run() {
        MainContent content;
        content.title = Title();
        ownHeading_ = OwnHeading(content.title);
        ReadBase();
        productPage_ = On(kRuleProductPage) &&
                       (IsSingleProductPage(tree_) ||
                        (On(kRuleProductVariants) && IsOneProductByVariantsOrItem(tree_)));
        Mark();
        Measure();
        const std::uint32_t root = ChooseRoot();
        if (On(kRuleLinkClusters) && root != 0) {
            PruneLinkClusters(root);
        }
        WriteRootAndSiblings(root, content.blocks);
        Flush(content.blocks);
        if (On(kRuleRepeatedText)) {
            RepeatLimits limits;
            // Pages that teach with code repeat an explanation for each language or variant
            // on purpose; elsewhere a passage written twice (for narrow and wide screens) is
            // read once.
            if (!HoldsCode(content.blocks)) {
                limits.plain = kRepeatedPassageWords;
            }
            // One product's page repeats its buying panel's lines (a size note, a returns
            // promise, the price in each currency) for each variant and screen; its own text
            // has no steps to repeat.
            if (productPage_ && On(kRuleProductRepeats)) {
                limits.quoted = limits.plain = kProductRepeatWords;
            }
            DropRepeatedBlocks(content.blocks, limits);
        }
        // On a thread each post's date and poster belong to the post.
        if (On(kRuleHeadLines) && !discussion_) {
            DropHeadLines(content.blocks, kHeadTextWords);
        }
        if (On(kRuleAuthorBox) && !discussion_) {
            DropAuthorLines(content.blocks, PageAuthors(tree_));
        }
        if (productPage_ && ownHeading_ != 0 && On(kRuleAboveProductName)) {
            std::string name;
            AppendDecoded(HeadingText(ownHeading_), name);
            DropAboveProductName(content.blocks, name);
        }
        if (!(disabled_ & kRuleTitleHeading)) {
            PrependTitleHeading(root, content.blocks);
        }
        if (productPage_ && On(kRuleDeclaredDescription)) {
            KeepProductDescription(content);
        }
        if (On(kRuleJsonLd)) {
            AddProductProse(content);
        }
        return content;
    }

  private:
    bool On(RuleSet rule) const { return !(disabled_ & rule); }

    std::string Title() const {
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            const HtmlNode& node = tree_.nodes[n];
            if (node.tag == Tag::kTitle && node.firstChild != 0) {
                std::string decoded, title;
                AppendDecoded(tree_.nodes[node.firstChild].text, decoded);
                bool space = false;
                SpacedText(title).Append(decoded, space);
                return title;
            }
        }
        return {};
    }

    // On the page of one product, <article> and itemprop="text" mark its reviews and the
    // answers to its questions, not its own part.
    bool PageMainHint(std::uint32_t n) const {
        if (productPage_) {
            return tree_.nodes[n].tag == Tag::kMain || NameIs(tree_.Attribute(n, "role"), "main");
        }
        return IsMainHint(tree_, n);
    }

    // Words of a text folded to lower case, runs of word bytes as CountRawWords finds them.
    static std::vector<std::string> FoldedWords(std::string_view text) {
        std::vector<std::string> words;
        bool inWord = false;
        for (const char c : text) {
            const bool word = IsWordByte(static_cast<unsigned char>(c));
            if (word && !inWord) {
                words.emplace_back();
            }
            if (word) {
                words.back() += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
            }
            inWord = word;
        }
        return words;
    }

    // The page's own h1: of several, the one sharing most words with the title, else the
    // first. Pages also put h1s into menus, pop-ups and legal dialogs they carry along.
    std::uint32_t OwnHeading(std::string_view title) const {
        const std::vector<std::string> titleWords = FoldedWords(title);
        std::uint32_t best = 0;
        size_t bestShared = 0;
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            if (tree_.nodes[n].tag != Tag::kH1) {
                continue;
            }
            size_t shared = 0;
            for (const std::string& word : FoldedWords(HeadingText(n))) {
                shared += std::find(titleWords.begin(), titleWords.end(), word) != titleWords.end();
            }
            if (best == 0 || shared > bestShared) {
                best = n;
                bestShared = shared;
            }
        }
        return best;
    }

    void ReadBase() {
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            if (tree_.nodes[n].tag == Tag::kBase && tree_.HasAttribute(n, "href")) {
                std::string href;
                AppendDecoded(tree_.Attribute(n, "href"), href);
                const Text resolved = ResolveLink(address_, Utf8ToWide(href));
                if (!resolved.empty()) {
                    address_ = resolved;
                }
                return;
            }
        }
    }

    // Decides which elements are left out wherever they stand; parents come before their
    // children, so one forward pass carries the decision down.
    void Mark() {
        const size_t count = tree_.nodes.size();
        removed_.assign(count, 0);
        inLink_.assign(count, 0);
        blockOf_.assign(count, 0);
        pageWords_.assign(count, 0);
        pageLinkWords_.assign(count, 0);
        links_.assign(count, 0);
        anchorLinks_.assign(count, 0);
        holdsMain_.assign(count, 0);
        holdsBlock_.assign(count, 0);
        shape_.assign(count, 0);
        inCode_.assign(count, 0);
        inThread_.assign(count, 0);
        discussion_ = On(kRuleDiscussions) && IsDiscussionPage(tree_);
        // Raw word totals first: a wrapper that happens to carry a boilerplate class must not
        // take the whole page with it.
        for (std::uint32_t n = static_cast<std::uint32_t>(count) - 1; n > 0; --n) {
            const HtmlNode& node = tree_.nodes[n];
            if (node.tag == Tag::kText && !IsDropped(tree_.nodes[node.parent].tag)) {
                pageWords_[n] += CountRawWords(node.text);
            }
            pageWords_[node.parent] += pageWords_[n];
            pageLinkWords_[node.parent] += node.tag == Tag::kA ? pageWords_[n] : pageLinkWords_[n];
            // A link to a place on this page (a heading's permalink, a contents entry) leads
            // nowhere else: it makes no heading a card's title.
            bool linkAway = false;
            if (node.tag == Tag::kA) {
                const std::string_view href = tree_.Attribute(n, "href");
                const bool inPage = !href.empty() && href[0] == '#';
                ++links_[n];
                anchorLinks_[n] += inPage && href.size() > 1;
                linkAway = !inPage;
            }
            links_[node.parent] += links_[n];
            anchorLinks_[node.parent] += anchorLinks_[n];
            const bool heading = node.tag >= Tag::kH1 && node.tag <= Tag::kH6;
            holdsBlock_[node.parent] |= holdsBlock_[n] | (heading || node.tag == Tag::kP);
            std::uint8_t& shape = shape_[n];
            if ((heading && (shape & kHoldsLink)) || (linkAway && (shape & kHoldsHeading))) {
                shape |= kHoldsLinkedHeading;
            }
            shape |= heading ? kHoldsHeading : linkAway ? kHoldsLink : 0;
            shape_[node.parent] |= shape;
        }
        FindCardArticles();
        for (std::uint32_t n = static_cast<std::uint32_t>(count) - 1; n > 0; --n) {
            const HtmlNode& node = tree_.nodes[n];
            const bool ownH1 =
                node.tag == Tag::kH1 && (!On(kRuleOwnHeading) || n == ownHeading_);
            if (ownH1 || (PageMainHint(n) && !cardArticle_[n])) {
                holdsMain_[n] = 1;
            }
            if (!(On(kRuleCommentItems) && IsCommentItem(tree_, n))) {
                holdsMain_[node.parent] |= holdsMain_[n];
            }
        }
        readableWords_ = ReadableWords();
        FindRuns();
        inRun_.assign(count, 0);
        const std::uint32_t total = readableWords_;
        if (On(kRuleAsideHeadings)) {
            MarkAsideSections(total);
        }
        for (std::uint32_t n = 1; n < count; ++n) {
            const HtmlNode& node = tree_.nodes[n];
            const std::uint32_t parent = node.parent;
            inRun_[n] = std::max(series_[n], inRun_[parent]);
            // 1: a link away; 2: the title of an item of what the page lists, which counts
            // as content when choosing the main part but as a link when pruning inside it.
            // A link wrapped around a heading or a paragraph is a card of a listing: its
            // words are what the card says, not a way elsewhere.
            if (inLink_[parent] != 0) {
                inLink_[n] = inLink_[parent];
            } else if (node.tag == Tag::kA) {
                const bool cards = On(kRuleCards) && !productPage_;
                inLink_[n] = (cards && holdsBlock_[n]) ? 0
                           : (cards && pageWords_[n] >= kHeadlineWords && inRun_[n] == 2)
                               ? 2
                               : 1;
            }
            blockOf_[n] = IsBlockLevel(node.tag) ? n : blockOf_[parent];
            inCode_[n] = inCode_[parent] || node.tag == Tag::kPre || node.tag == Tag::kCode ||
                         node.tag == Tag::kKbd || node.tag == Tag::kSamp;
            if (removed_[parent] || removed_[n]) {
                removed_[n] = 1;
                continue;
            }
            if (node.tag == Tag::kText) {
                removed_[n] = On(kRuleHidden) && IsUnfilledPlaceholder(node.text) &&
                              !inCode_[parent];
                continue;
            }
            if (IsDropped(node.tag)) {
                removed_[n] = 1;
                continue;
            }
            // Highlighters mark up code with classes of their own ("hljs-comment", "nav"
            // in a token name): inside code they name syntax, never page furniture.
            if (inCode_[parent]) {
                continue;
            }
            // An element holding the page's heading or its marked main part is no sidebar,
            // whatever its class says.
            const bool wrapper =
                pageWords_[n] * 2 > total || (On(kRuleKeepMain) && holdsMain_[n] != 0);
            if (On(kRuleContentsLists) && !wrapper && IsContentsList(n)) {
                removed_[n] = 1;
                continue;
            }
            if (On(kRuleFilterPanels) && pageWords_[n] * 4 < total && IsFilterPanel(tree_, n) &&
                !IsProse(n) && !HoldsListedItems(n)) {
                removed_[n] = 1;
                continue;
            }
            // The small print of a card (a unit price, a review count, a badge).
            if (node.tag == Tag::kSmall && inRun_[n] != 0 && On(kRuleInterfaceText)) {
                removed_[n] = 1;
                continue;
            }
            const RuleHit hit =
                (wrapper && On(kRuleClassNames) && !holdsMain_[n] && IsConsentPanel(tree_, n))
                    ? kRuleClassNames
                    : JudgeElement(tree_, n, wrapper, IsProse(n), disabled_);
            // Comments holding a good part of the page are what the page is: a thread; and the
            // details of the items a page lists (a paper's title and authors in its "meta"
            // block) are part of what it lists, where a poster's name beside a post is not.
            const bool reply = hit == kRuleComments && IsThreadReply(n);
            const bool thread = hit == kRuleComments &&
                                (static_cast<float>(pageWords_[n]) >
                                     kThreadShare * static_cast<float>(total) ||
                                 reply || InThread(parent));
            removed_[n] = hit != 0 && !thread &&
                          !(hit == kRuleBylines && inRun_[n] == 2 &&
                            pageWords_[n] >= kHeadlineWords && !IsPosterPanel(tree_, n));
            inThread_[n] = inThread_[parent] || (thread && (reply || discussion_)) ||
                           OpensDiscussion(n, total);
        }
    }

    // <article> elements side by side are the cards of other pages (more stories, a blog's
    // teasers), not the page's own part: none of them shields its section from the rules.
    // Where they hold most of the page they are what it lists, and keep their shield.
    void FindCardArticles() {
        cardArticle_.assign(tree_.nodes.size(), 0);
        if (!On(kRuleCardArticles)) {
            return;
        }
        std::vector<std::uint8_t> articles(tree_.nodes.size(), 0);
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            std::uint8_t& seen = articles[tree_.nodes[n].parent];
            seen = static_cast<std::uint8_t>(seen + (tree_.nodes[n].tag == Tag::kArticle && seen < 2));
        }
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            const std::uint32_t parent = tree_.nodes[n].parent;
            cardArticle_[n] = tree_.nodes[n].tag == Tag::kArticle && articles[parent] == 2 &&
                              pageWords_[parent] * 2 <= pageWords_[0];
        }
    }

    // Whether a run of like siblings that holds a good part of the page lies inside the
    // element: a panel named for filtering the list may wrap the list itself.
    bool HoldsListedItems(std::uint32_t n) const {
        const std::uint32_t depth = tree_.nodes[n].depth;
        for (std::uint32_t k = n + 1; k < tree_.nodes.size() && tree_.nodes[k].depth > depth;
             ++k) {
            if (series_[k] == 2) {
                return true;
            }
        }
        return false;
    }

    // Replies a forum marks one by one as replies, with no comment section around them, are
    // the thread when together they hold a good part of the page.
    bool IsThreadReply(std::uint32_t n) const {
        return On(kRuleThreadReplies) && series_[n] != 0 &&
               static_cast<float>(runWords_[n]) >
                   kThreadRepliesShare * static_cast<float>(pageWords_[0]);
    }

    // Inside a thread (the replies that make up most of the page, or the comment section of
    // a page that declares itself a discussion) every post is content, however it is named:
    // replies, answers to them, their comment lists.
    bool InThread(std::uint32_t parent) const {
        return inThread_[parent] != 0 && (discussion_ || On(kRuleNestedReplies));
    }
    // A comment section holding a good part of the page opens the thread even where it holds
    // the page's marked text too, so that no rule judged it.
    bool OpensDiscussion(std::uint32_t n, std::uint32_t total) const {
        return discussion_ &&
               static_cast<float>(pageWords_[n]) > kThreadShare * static_cast<float>(total) &&
               IsCommentSection(tree_, n);
    }

    // A table of contents: a list of links to the page's own sections. Readers of the text
    // get the sections themselves.
    bool IsContentsList(std::uint32_t n) const {
        const Tag tag = tree_.nodes[n].tag;
        return (tag == Tag::kUl || tag == Tag::kOl || tag == Tag::kNav || tag == Tag::kDiv) &&
               links_[n] >= kContentsMinLinks && anchorLinks_[n] == links_[n] &&
               static_cast<float>(pageLinkWords_[n]) >=
                   kContentsLinkShare * static_cast<float>(pageWords_[n]);
    }

    // The page's words but for its consent panels, which on a short page can outweigh all
    // it says (vendor lists of thousands of words).
    std::uint32_t ReadableWords() const {
        std::uint32_t consent = 0;
        for (std::uint32_t n = 1; n < tree_.nodes.size();) {
            if (tree_.nodes[n].tag != Tag::kText && IsConsentPanel(tree_, n)) {
                consent += pageWords_[n];
                const std::uint32_t depth = tree_.nodes[n].depth;
                ++n;
                while (n < tree_.nodes.size() && tree_.nodes[n].depth > depth) {
                    ++n;
                }
                continue;
            }
            ++n;
        }
        return std::max<std::uint32_t>(pageWords_[0] - std::min(consent, pageWords_[0]), 1);
    }

    static bool IsProse(std::uint32_t words, std::uint32_t linkWords) {
        return words >= kProseWords &&
               static_cast<float>(linkWords) <= kProseLinkShare * static_cast<float>(words);
    }
    bool IsProse(std::uint32_t n) const { return IsProse(pageWords_[n], pageLinkWords_[n]); }

    // Sections a heading names as not the page's own ("Related posts", "Leave a reply"):
    // the heading's section goes, or when the heading sits straight in the content, the
    // heading and what follows it up to the next heading.
    void MarkAsideSections(std::uint32_t total) {
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            const Tag tag = tree_.nodes[n].tag;
            if ((tag < Tag::kH2 || tag > Tag::kH6) && !IsTitleLine(n)) {
                continue;
            }
            const std::string text = HeadingText(n);
            const bool heading = tag >= Tag::kH2 && tag <= Tag::kH6;
            const bool prompt = heading && ((On(kRulePrompts) && IsPromptHeading(text)) ||
                                            (On(kRuleSourceLists) && IsSourcesHeading(text)));
            if (!prompt && !IsAsideSection(text)) {
                continue;
            }
            const std::uint32_t parent = tree_.nodes[n].parent;
            if (parent != 0 && !holdsMain_[parent] && pageWords_[parent] * 4 < total) {
                if (prompt || !IsProse(parent)) {
                    removed_[parent] = 1;
                }
                continue;
            }
            std::uint32_t end = tree_.nodes[n].nextSibling, words = 0, linkWords = 0;
            // A styled line is a weaker sign than a heading: over a good part of the page (or
            // of its elements) it titles what the page lists ("Latest articles" on a blog's
            // front page). Lines of that kind do not end each other's sections, so their
            // sections are measured no further than that.
            bool large = false;
            std::uint32_t siblings = 0;
            for (; end != 0; end = tree_.nodes[end].nextSibling) {
                const Tag next = tree_.nodes[end].tag;
                if (next >= Tag::kH1 && next <= Tag::kH6) {
                    break;
                }
                words += pageWords_[end];
                linkWords += next == Tag::kA ? pageWords_[end] : pageLinkWords_[end];
                large = !heading && (words * 4 >= total || ++siblings > kTitleSectionSiblings);
                if (large) {
                    break;
                }
            }
            if ((!prompt && IsProse(words, linkWords)) || large) {
                continue;
            }
            for (std::uint32_t c = n; c != end; c = tree_.nodes[c].nextSibling) {
                removed_[c] = 1;
            }
        }
    }

    // Page builders and themes title their side sections with a styled line rather than a
    // heading ("<div class=h2>You might also like</div>"): a short line of its own, no link
    // in it, titles what follows it as a heading would. A shop's item page labels its own
    // panels that way (delivery, the seller), so there only headings count.
    bool IsTitleLine(std::uint32_t n) const {
        const Tag tag = tree_.nodes[n].tag;
        return On(kRuleAsideTitles) && !productPage_ &&
               (tag == Tag::kDiv || tag == Tag::kP) &&
               pageWords_[n] != 0 && pageWords_[n] <= kTitleLineWords && links_[n] == 0 &&
               !holdsBlock_[n];
    }

    bool IsAsideSection(const std::string& headingText) const {
        return IsAsideHeading(headingText) || (productPage_ && IsShopSectionHeading(headingText)) ||
               (On(kRuleReadingPrompts) && IsReadingPromptHeading(headingText));
    }

    std::string HeadingText(std::uint32_t n) const {
        std::string text;
        const std::uint32_t end = n + 1 + 64;
        for (std::uint32_t k = n + 1; k < tree_.nodes.size() && k < end; ++k) {
            const HtmlNode& node = tree_.nodes[k];
            if (node.depth <= tree_.nodes[n].depth) {
                break;
            }
            if (node.tag == Tag::kText) {
                text.append(node.text.substr(0, 80));
                text += ' ';
            }
        }
        return text;
    }

    void Measure() {
        const size_t count = tree_.nodes.size();
        facts_.assign(count, NodeFacts{});
        // Words per block first, then each block is judged as a whole.
        for (std::uint32_t n = 1; n < count; ++n) {
            const HtmlNode& node = tree_.nodes[n];
            if (node.tag != Tag::kText || removed_[n]) {
                continue;
            }
            const std::uint32_t words = CountRawWords(node.text);
            NodeFacts& block = facts_[blockOf_[n]];
            block.words += words;
            if (inLink_[n] == 1) {
                block.linkWords += words;
            } else if (inLink_[n] == 2) {
                block.headlineWords += words;
            }
        }
        for (std::uint32_t n = static_cast<std::uint32_t>(count) - 1; n > 0; --n) {
            NodeFacts& facts = facts_[n];
            if (facts.words != 0 && !removed_[n]) {
                const float plain = static_cast<float>(facts.words - facts.linkWords);
                if (plain >= kLongBlockWords || !On(kRuleShortBlocks)) {
                    facts.good += plain;
                } else {
                    facts.good += plain * kShortBlockShare;
                    facts.bad += plain * (1 - kShortBlockShare);
                }
                facts.bad += static_cast<float>(facts.linkWords) * kLinkWordCost;
            }
            facts.allWords += facts.words;
            facts.allLinkWords += facts.linkWords + facts.headlineWords;
            NodeFacts& parent = facts_[tree_.nodes[n].parent];
            parent.good += facts.good;
            parent.bad += facts.bad;
            parent.allWords += facts.allWords;
            parent.allLinkWords += facts.allLinkWords;
        }
    }

    // The element whose text best matches the page's content: the estimate of word F1 it
    // would score if the content words were all the good words of the page.
    std::uint32_t ChooseRoot() const {
        const float all = facts_[0].good;
        if (all <= 0) {
            return 0;
        }
        std::uint32_t best = 0;
        float bestScore = -1;
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            const HtmlNode& node = tree_.nodes[n];
            if (node.tag == Tag::kText || removed_[n] || facts_[n].good <= 0) {
                continue;
            }
            float score = 2 * facts_[n].good / (facts_[n].good + facts_[n].bad + all);
            if (On(kRuleMainHint) && IsMainHint(tree_, n)) {
                score += kMainHintBonus;
            }
            if (score > bestScore) {
                bestScore = score;
                best = n;
            }
        }
        return best;
    }

    // Lists and panels of links inside the content (more posts, tags, a table of contents,
    // related products) lead away from the page, whose own text is rarely mostly links. A
    // run of like siblings (the cards of a listing, the rows of a table) is the page's own
    // when the run is large; as a small panel its container goes as a whole.
    void PruneLinkClusters(std::uint32_t root) {
        const float rootWords = static_cast<float>(facts_[root].allWords);
        std::vector<std::uint8_t> onPath(tree_.nodes.size(), 0);
        for (std::uint32_t up = root; up != 0; up = tree_.nodes[up].parent) {
            onPath[up] = 1;
        }
        if (On(kRuleTeasers)) {
            DropTeasers(root, onPath);
        }
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            const HtmlNode& node = tree_.nodes[n];
            if (removed_[node.parent]) {
                removed_[n] = 1;
            }
            const NodeFacts& facts = facts_[n];
            if (removed_[n] || onPath[n] || inRun_[n] || node.tag == Tag::kText ||
                node.tag == Tag::kA || facts.allWords < kClusterMinWords) {
                continue;
            }
            const float words = static_cast<float>(facts.allWords);
            if (static_cast<float>(facts.allLinkWords) > kClusterLinkShare * words &&
                words < kClusterMaxShare * rootWords) {
                removed_[n] = 1;
            }
        }
    }

    // Finds the runs of like siblings: at least three children of one element with one tag
    // and class (the cards of a grid, the items of a list, the posts of a thread).
    void FindRuns() {
        series_.assign(tree_.nodes.size(), 0);
        runWords_.assign(tree_.nodes.size(), 0);
        runMembers_.clear();
        runBounds_.assign(1, 0);
        std::vector<std::pair<std::uint64_t, std::uint32_t>> kinds;
        for (std::uint32_t p = 0; p < tree_.nodes.size(); ++p) {
            kinds.clear();
            for (std::uint32_t c = tree_.nodes[p].firstChild; c != 0;
                 c = tree_.nodes[c].nextSibling) {
                if (tree_.nodes[c].tag != Tag::kText) {
                    kinds.emplace_back(KindHash(c), c);
                }
            }
            if (kinds.size() < 3) {
                continue;
            }
            std::sort(kinds.begin(), kinds.end());
            for (size_t a = 0; a < kinds.size();) {
                size_t b = a;
                while (b < kinds.size() && kinds[b].first == kinds[a].first) {
                    ++b;
                }
                if (b - a >= 3) {
                    std::uint32_t words = 0;
                    for (size_t k = a; k < b; ++k) {
                        words += pageWords_[kinds[k].second];
                    }
                    // A run holding a good part of the page is what the page lists.
                    const bool big = static_cast<float>(words) >=
                                     kListingRunShare * static_cast<float>(readableWords_);
                    for (size_t k = a; k < b; ++k) {
                        series_[kinds[k].second] = big ? 2 : 1;
                        runWords_[kinds[k].second] = words;
                        runMembers_.push_back(kinds[k].second);
                    }
                    runBounds_.push_back(static_cast<std::uint32_t>(runMembers_.size()));
                }
                a = b;
            }
        }
    }

    // Runs whose members mostly hold a heading that is a link are teasers of other pages
    // ("more stories", "recent posts"): beside a text several times their size they go.
    void DropTeasers(std::uint32_t root, const std::vector<std::uint8_t>& onPath) {
        const float rootWords = static_cast<float>(facts_[root].allWords);
        float teaserWords = 0;
        std::vector<std::uint32_t> teasers;
        std::vector<std::uint8_t> isTeaser(tree_.nodes.size(), 0);
        for (size_t run = 0; run + 1 < runBounds_.size(); ++run) {
            const std::uint32_t first = runBounds_[run], end = runBounds_[run + 1];
            const std::uint32_t parent = tree_.nodes[runMembers_[first]].parent;
            if (onPath[parent]) {
                continue;
            }
            bool nested = false;
            for (std::uint32_t up = parent; up != 0 && !nested; up = tree_.nodes[up].parent) {
                nested = isTeaser[up] != 0;
            }
            size_t linkedHeadings = 0;
            float words = 0;
            for (std::uint32_t k = first; k < end; ++k) {
                linkedHeadings += (shape_[runMembers_[k]] & kHoldsLinkedHeading) != 0;
                words += static_cast<float>(facts_[runMembers_[k]].allWords);
            }
            if (nested || linkedHeadings * 2 <= end - first) {
                continue;
            }
            for (std::uint32_t k = first; k < end; ++k) {
                teasers.push_back(runMembers_[k]);
                isTeaser[runMembers_[k]] = 1;
            }
            teaserWords += words;
        }
        if (teaserWords < kTeaserMaxShare * rootWords) {
            for (const std::uint32_t n : teasers) {
                removed_[n] = 1;
            }
        }
    }

    std::uint64_t KindHash(std::uint32_t n) const {
        std::uint64_t hash =
            1469598103934665603ull ^ static_cast<std::uint64_t>(tree_.nodes[n].tag);
        for (const char c : tree_.Attribute(n, "class")) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        return hash;
    }

    // The prose of the page's JSON-LD that speaks of a product, references decoded and white
    // space collapsed, tag lines left out.
    std::vector<std::string> ProductProse() const {
        std::vector<std::string> texts;
        for (std::uint32_t n = 1; n < tree_.nodes.size(); ++n) {
            const HtmlNode& node = tree_.nodes[n];
            if (node.tag != Tag::kScript || node.firstChild == 0 ||
                !NameIs(tree_.Attribute(n, "type"), "application/ld+json")) {
                continue;
            }
            const std::string_view json = tree_.nodes[node.firstChild].text;
            if (json.find("\"Product\"") == std::string_view::npos) {
                continue;
            }
            for (const std::string& prose : JsonLdProse(json)) {
                std::string decoded, collapsed;
                AppendDecoded(prose, decoded);
                bool space = false;
                SpacedText(collapsed).Append(decoded, space);
                if (CountRawWords(collapsed) >= kJsonLdProseWords) {
                    texts.push_back(std::move(collapsed));
                }
            }
        }
        return texts;
    }

    // On one product's page, the description it declares, when it is most of the chosen
    // text, is the text (see KeepDeclaredDescription). Of several, the longest: the others
    // describe the product's pictures and videos.
    void KeepProductDescription(MainContent& content) const {
        const std::vector<std::string> prose = ProductProse();
        const auto longest = std::max_element(
            prose.begin(), prose.end(),
            [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        if (longest != prose.end()) {
            KeepDeclaredDescription(content.blocks, *longest);
        }
    }

    // A product description the page gives only in its JSON-LD (its visible copy comes from
    // scripts) is added after the content, unless the content already holds it.
    void AddProductProse(MainContent& content) {
        std::string text;
        for (const std::string& collapsed : ProductProse()) {
            if (text.empty()) {
                text = ContentText(content);
            }
            // Only where the visible content is thinner than the description: elsewhere the
            // page shows its own wording of it.
            if (text.find(collapsed.substr(0, 60)) != std::string::npos ||
                CountRawWords(text) >= CountRawWords(collapsed)) {
                continue;
            }
            ContentBlock paragraph;
            paragraph.kind = BlockKind::kParagraph;
            paragraph.inlines.push_back(InlineRun{InlineKind::kText, collapsed, {}});
            content.blocks.push_back(std::move(paragraph));
            text += collapsed;
        }
    }

    // Content that a page splits over sibling sections (a service page, a post and its
    // follow-ups) joins the chosen element when it reads as content too.
    void WriteRootAndSiblings(std::uint32_t root, std::vector<ContentBlock>& sink) {
        // A product's description is its page's own text; the sections beside it are the
        // shop's (delivery, reviews, other products).
        if (root == 0 || !On(kRuleSiblings) || productPage_) {
            Walk(root, sink);
            return;
        }
        const std::uint32_t parent = tree_.nodes[root].parent;
        for (std::uint32_t c = tree_.nodes[parent].firstChild; c != 0;
             c = tree_.nodes[c].nextSibling) {
            const NodeFacts& facts = facts_[c];
            if (c == root || (facts.good >= kSiblingWords &&
                              facts.good >= kSiblingDensity * (facts.good + facts.bad))) {
                Walk(c, sink);
            }
        }
    }

    static bool HoldsCode(const std::vector<ContentBlock>& blocks) {
        for (const ContentBlock& block : blocks) {
            if (block.kind == BlockKind::kCode || HoldsCode(block.children)) {
                return true;
            }
        }
        return false;
    }

    void PrependTitleHeading(std::uint32_t root, std::vector<ContentBlock>& blocks) {
        for (const ContentBlock& block : blocks) {
            if (block.kind == BlockKind::kHeading && block.level == 1) {
                return;
            }
        }
        for (std::uint32_t n = 1; n < tree_.nodes.size() && n < root; ++n) {
            if (tree_.nodes[n].tag == Tag::kH1 && !IsDropped(tree_.nodes[n].tag)) {
                std::vector<ContentBlock> heading;
                const auto saved = removed_[n];
                removed_[n] = 0;
                Walk(n, heading);
                removed_[n] = saved;
                Flush(heading);
                if (!heading.empty()) {
                    blocks.insert(blocks.begin(), std::move(heading.front()));
                }
                return;
            }
        }
    }

    // ---- writing the blocks ------------------------------------------------------------

    void Flush(std::vector<ContentBlock>& sink) {
        while (!runs_.empty() && runs_.back().kind == InlineKind::kBreak) {
            runs_.pop_back();
        }
        if (!runs_.empty() && On(kRuleInterfaceText) && runs_.size() <= 2) {
            std::string text;
            for (const InlineRun& run : runs_) {
                text += run.text;
            }
            if (IsInterfaceText(text) || (discussion_ && IsPostNumber(text))) {
                runs_.clear();
            }
        }
        if (!runs_.empty() && (On(kRuleInterfaceText) || productPage_)) {
            DropFillerAndPrices();
        }
        if (!runs_.empty() && tableDepth_ == 0) {
            DropTemplateLine();
        }
        DropPilcrow(runs_);
        if (!runs_.empty() && !ShowsAnything(runs_)) {
            runs_.clear();
        }
        if (!runs_.empty()) {
            ContentBlock block;
            block.kind = BlockKind::kParagraph;
            block.inlines = std::move(runs_);
            sink.push_back(std::move(block));
        }
        runs_.clear();
        pendingSpace_ = false;
    }

    // A page builder's filler anywhere, and on one product's page the lines that only give
    // its price (the buying panel says it, the description does not).
    void DropFillerAndPrices() {
        std::string text;
        for (const InlineRun& run : runs_) {
            // Code is what a page teaches, never filler.
            if (run.kind == InlineKind::kCode) {
                return;
            }
            text += run.text;
        }
        if ((On(kRuleInterfaceText) && (IsBuilderFiller(text) || IsListingControl(text))) ||
            (productPage_ && IsPriceLine(text))) {
            runs_.clear();
        }
    }

    // A line that shop and forum templates print around the page's own text, alone as a
    // paragraph: a picture's address printed from a theme's data field, a card's sticker, a
    // shop's control, a product's rating summary, a poster's tally. Not in a table, whose
    // cells are data ("New", "(12)" and an example address are values there).
    void DropTemplateLine() {
        constexpr size_t kMaxLineBytes = 300;
        std::string text;
        for (const InlineRun& run : runs_) {
            if (run.kind == InlineKind::kCode || run.kind == InlineKind::kImage ||
                text.size() > kMaxLineBytes) {
                return;
            }
            text += run.text;
        }
        if ((On(kRuleMediaAddresses) && IsMediaAddressLine(text)) ||
            (On(kRuleCardBadges) && IsCardBadge(text)) ||
            (On(kRuleShopControls) && IsShopControlLine(text)) ||
            (productPage_ && On(kRuleRatingLines) && IsRatingSummary(text)) ||
            (On(kRulePosterCounts) && IsPosterCountLine(text))) {
            runs_.clear();
        }
    }

    InlineRun& RunFor(InlineKind kind) {
        const std::string& link = linkStack_.empty() ? empty_ : linkStack_.back();
        const InlineKind wanted = (kind == InlineKind::kText && !linkStack_.empty())
                                      ? InlineKind::kLink
                                      : kind;
        if (runs_.empty() || runs_.back().kind != wanted ||
            (wanted == InlineKind::kLink && runs_.back().address != link)) {
            InlineRun run;
            run.kind = wanted;
            if (wanted == InlineKind::kLink) {
                run.address = link;
            }
            // A space owed before the new run goes at the end of the previous text, or else
            // at the start of the new run: never into an image's alt text or a code span.
            if (pendingSpace_ && !runs_.empty() && runs_.back().kind != InlineKind::kBreak) {
                if (runs_.back().kind == InlineKind::kText) {
                    runs_.back().text += ' ';
                } else {
                    run.text += ' ';
                }
            }
            pendingSpace_ = false;
            runs_.push_back(std::move(run));
        }
        return runs_.back();
    }

    void AddText(std::string_view raw, InlineKind kind) {
        decoded_.clear();
        AppendDecoded(raw, decoded_);
        size_t first = 0;
        while (first < decoded_.size() && IsSpaceByte(decoded_[first])) {
            ++first;
        }
        if (first == decoded_.size()) {
            pendingSpace_ = pendingSpace_ || !decoded_.empty();
            return;
        }
        if (first > 0) {
            pendingSpace_ = true;
        }
        InlineRun& run = RunFor(kind);
        bool space = pendingSpace_ && !run.text.empty();
        if (run.text.empty() && pendingSpace_ && runs_.size() > 1) {
            space = false;
        }
        SpacedText(run.text).Append(std::string_view(decoded_).substr(first), space);
        pendingSpace_ = space;
    }

    // Documentation generators end each heading with a link to itself drawn as a mark
    // ("¶", "§", "#", a link symbol): a link of the mark alone, or the mark after a space.
    static void DropPermalinkMark(std::vector<InlineRun>& runs) {
        static constexpr std::string_view kMarks[] = {"\xC2\xB6", "\xC2\xA7", "#",
                                                      "\xF0\x9F\x94\x97", "\xE2\x9A\x93"};
        const auto trimmed = [](const std::string& text) {
            const size_t last = text.find_last_not_of(' ');
            return std::string_view(text.data(), last == std::string::npos ? 0 : last + 1);
        };
        while (!runs.empty()) {
            InlineRun& run = runs.back();
            const std::string_view text = trimmed(run.text);
            size_t cut = std::string::npos;
            for (const std::string_view mark : kMarks) {
                if (run.kind == InlineKind::kLink && text == mark) {
                    cut = 0;
                } else if (text.size() > mark.size() && text.ends_with(mark) &&
                           text[text.size() - mark.size() - 1] == ' ') {
                    cut = text.size() - mark.size();
                }
            }
            if (cut == std::string::npos) {
                return;
            }
            run.text.resize(cut);
            run.text.resize(trimmed(run.text).size());
            if (!run.text.empty()) {
                return;
            }
            runs.pop_back();
        }
    }

    // Documentation generators end the titles of definitions with a pilcrow or link glyph
    // that links to them; in a text it is noise wherever it stands.
    static void DropPilcrow(std::vector<InlineRun>& runs) {
        for (const std::string_view mark : {std::string_view("\xC2\xB6"),
                                            std::string_view("\xF0\x9F\x94\x97")}) {
            if (!runs.empty() && runs.back().kind != InlineKind::kCode &&
                runs.back().text.ends_with(mark)) {
                std::string& text = runs.back().text;
                text.resize(text.size() - mark.size());
                while (!text.empty() && text.back() == ' ') {
                    text.pop_back();
                }
                if (text.empty()) {
                    runs.pop_back();
                }
            }
        }
    }

    // Whether a paragraph says anything: a picture, code, or a letter, digit or sign beyond
    // ASCII punctuation, spaces and the invisible joiners pages scatter as spacers (a lone
    // "|" between links, a "\u200D" spacer).
    static bool ShowsAnything(const std::vector<InlineRun>& runs) {
        for (const InlineRun& run : runs) {
            if (run.kind == InlineKind::kImage || run.kind == InlineKind::kCode) {
                return true;
            }
            for (const char16_t unit : Utf8ToWide(run.text)) {
                const bool ascii = unit < 0x80;
                if ((ascii && ((unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'z') ||
                               (unit >= u'A' && unit <= u'Z'))) ||
                    (!ascii && unit != u'\u00A0' && !(unit >= u'\u200B' && unit <= u'\u200F') &&
                     unit != u'\u2060' && unit != u'\uFEFF')) {
                    return true;
                }
            }
        }
        return false;
    }

    static bool IsSpaceByte(char c) {
        return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f';
    }

    std::string ResolvedAddress(std::string_view raw) const {
        std::string decoded;
        AppendDecoded(raw, decoded);
        Text resolved = ResolveLink(address_, Utf8ToWide(decoded));
        if (resolved.size() < 7 ||
            !(resolved.compare(0, 7, u"http://") == 0 || resolved.compare(0, 8, u"https://") == 0)) {
            return {};
        }
        // The crawl's addresses have no fragment; a reader's link keeps the section it names.
        const size_t fragment = decoded.find('#');
        if (fragment != std::string::npos && fragment + 1 < decoded.size()) {
            resolved += Utf8ToWide(decoded.substr(fragment));
        }
        // No reader follows an address this long, and a link wrapping many blocks repeats it
        // in each of them.
        std::string escaped = WideToUtf8(UriEscape(resolved));
        return escaped.size() <= kMaxLinkAddressBytes ? escaped : std::string();
    }

    void AddImage(std::uint32_t n) {
        // An empty alt marks a picture as decoration: it says nothing to a reader of text.
        if (tree_.HasAttribute(n, "alt") &&
            tree_.Attribute(n, "alt").find_first_not_of(" \t\r\n") == std::string_view::npos) {
            return;
        }
        std::string_view source = tree_.Attribute(n, "src");
        for (const char* lazy : {"data-src", "data-lazy-src", "data-original"}) {
            if (source.empty() || source.substr(0, 5) == "data:") {
                const std::string_view other = tree_.Attribute(n, lazy);
                if (!other.empty()) {
                    source = other;
                }
            }
        }
        InlineRun image;
        image.kind = InlineKind::kImage;
        image.address = ResolvedAddress(source);
        if (image.address.empty()) {
            return;
        }
        std::string alt;
        AppendDecoded(tree_.Attribute(n, "alt"), alt);
        bool space = false;
        SpacedText(image.text).Append(alt, space);
        if (pendingSpace_ && !runs_.empty() && runs_.back().kind == InlineKind::kText) {
            runs_.back().text += ' ';
        } else if (pendingSpace_ && !runs_.empty()) {
            InlineRun space;
            space.text = " ";
            runs_.push_back(std::move(space));
        }
        pendingSpace_ = false;
        runs_.push_back(std::move(image));
    }

    void WalkChildren(std::uint32_t n, std::vector<ContentBlock>& sink) {
        for (std::uint32_t c = tree_.nodes[n].firstChild; c != 0; c = tree_.nodes[c].nextSibling) {
            Walk(c, sink);
        }
    }

    // Blocks written into a sink of their own (a list item, a quote, a cell).
    std::vector<ContentBlock> Nested(std::uint32_t n) {
        auto savedRuns = std::move(runs_);
        const bool savedSpace = pendingSpace_;
        runs_.clear();
        pendingSpace_ = false;
        ++nesting_;
        std::vector<ContentBlock> inner;
        WalkChildren(n, inner);
        Flush(inner);
        --nesting_;
        runs_ = std::move(savedRuns);
        pendingSpace_ = savedSpace;
        return inner;
    }

    // Every level of a list or quote indents each line below it in the Markdown, so a page of
    // hundreds of nested lists would multiply its size; deeper levels go on as plain blocks.
    bool MayNest() const { return nesting_ < kMaxBlockNesting; }

    void Walk(std::uint32_t n, std::vector<ContentBlock>& sink) {
        const HtmlNode& node = tree_.nodes[n];
        if (removed_[n]) {
            return;
        }
        switch (node.tag) {
            case Tag::kText:
                AddText(node.text, codeDepth_ > 0 ? InlineKind::kCode : InlineKind::kText);
                return;
            case Tag::kBr:
                if (!runs_.empty()) {
                    InlineRun br;
                    br.kind = InlineKind::kBreak;
                    runs_.push_back(br);
                    pendingSpace_ = false;
                }
                return;
            case Tag::kImg:
                AddImage(n);
                return;
            case Tag::kA: {
                linkStack_.push_back(ResolvedAddress(tree_.Attribute(n, "href")));
                WalkChildren(n, sink);
                linkStack_.pop_back();
                return;
            }
            case Tag::kCode: case Tag::kKbd: case Tag::kSamp:
                ++codeDepth_;
                WalkChildren(n, sink);
                --codeDepth_;
                return;
            case Tag::kH1: case Tag::kH2: case Tag::kH3: case Tag::kH4: case Tag::kH5:
            case Tag::kH6: {
                Flush(sink);
                WalkChildren(n, sink);
                std::vector<ContentBlock> heading;
                Flush(heading);
                for (ContentBlock& block : heading) {
                    DropPermalinkMark(block.inlines);
                    block.kind = BlockKind::kHeading;
                    block.level = static_cast<int>(node.tag) - static_cast<int>(Tag::kH1) + 1;
                    sink.push_back(std::move(block));
                }
                return;
            }
            case Tag::kUl: case Tag::kOl: case Tag::kMenu:
                if (!MayNest()) {
                    break;
                }
                Flush(sink);
                WriteList(n, sink);
                return;
            case Tag::kPre:
                Flush(sink);
                WriteCode(n, sink);
                return;
            case Tag::kBlockquote: {
                if (!MayNest()) {
                    break;
                }
                Flush(sink);
                ContentBlock quote;
                quote.kind = BlockKind::kQuote;
                quote.children = Nested(n);
                if (!quote.children.empty()) {
                    sink.push_back(std::move(quote));
                }
                return;
            }
            case Tag::kTable:
                Flush(sink);
                if (IsDataTable(n)) {
                    WriteTable(n, sink);
                } else {
                    WalkChildren(n, sink);
                    Flush(sink);
                }
                return;
            default:
                break;
        }
        const bool block = IsBlockLevel(node.tag);
        if (block) {
            Flush(sink);
        }
        WalkChildren(n, sink);
        if (block) {
            Flush(sink);
        }
    }

    void WriteList(std::uint32_t n, std::vector<ContentBlock>& sink) {
        ContentBlock list;
        list.kind = BlockKind::kList;
        list.ordered = tree_.nodes[n].tag == Tag::kOl;
        for (std::uint32_t c = tree_.nodes[n].firstChild; c != 0; c = tree_.nodes[c].nextSibling) {
            if (removed_[c]) {
                continue;
            }
            ContentBlock item;
            item.kind = BlockKind::kListItem;
            if (tree_.nodes[c].tag == Tag::kLi) {
                item.children = Nested(c);
            } else {
                // Text or wrappers straight inside a list still belong to it.
                std::vector<ContentBlock> inner;
                Walk(c, inner);
                Flush(inner);
                item.children = std::move(inner);
            }
            if (!item.children.empty()) {
                list.children.push_back(std::move(item));
            }
        }
        if (!list.children.empty()) {
            sink.push_back(std::move(list));
        }
    }

    void AppendCodeText(std::uint32_t n, std::string& code) {
        for (std::uint32_t c = tree_.nodes[n].firstChild; c != 0; c = tree_.nodes[c].nextSibling) {
            const HtmlNode& child = tree_.nodes[c];
            if (removed_[c]) {
                continue;
            }
            if (child.tag == Tag::kText) {
                AppendDecoded(child.text, code);
            } else if (child.tag == Tag::kBr) {
                code += '\n';
            } else {
                AppendCodeText(c, code);
            }
        }
    }

    void WriteCode(std::uint32_t n, std::vector<ContentBlock>& sink) {
        ContentBlock block;
        block.kind = BlockKind::kCode;
        AppendCodeText(n, block.code);
        // The newline right after <pre> is not content.
        if (!block.code.empty() && block.code.front() == '\n') {
            block.code.erase(0, 1);
        }
        while (!block.code.empty() && IsSpaceByte(block.code.back())) {
            block.code.pop_back();
        }
        if (!block.code.empty()) {
            sink.push_back(std::move(block));
        }
    }

    // Rows of the table itself, through thead/tbody/tfoot, not those of nested tables.
    template <typename Visit>
    void ForEachRow(std::uint32_t table, Visit&& visit) const {
        for (std::uint32_t c = tree_.nodes[table].firstChild; c != 0;
             c = tree_.nodes[c].nextSibling) {
            const Tag tag = tree_.nodes[c].tag;
            if (tag == Tag::kTr) {
                visit(c, false);
            } else if (tag == Tag::kThead || tag == Tag::kTbody || tag == Tag::kTfoot) {
                for (std::uint32_t r = tree_.nodes[c].firstChild; r != 0;
                     r = tree_.nodes[r].nextSibling) {
                    if (tree_.nodes[r].tag == Tag::kTr) {
                        visit(r, tag == Tag::kThead);
                    }
                }
            }
        }
    }

    // A table of data rather than one that lays out the page: no table inside it, rows of
    // more than one cell, cells without block structure of their own.
    bool IsDataTable(std::uint32_t table) const {
        size_t rows = 0, wideRows = 0;
        bool blocky = false;
        ForEachRow(table, [&](std::uint32_t row, bool) {
            ++rows;
            size_t cells = 0;
            for (std::uint32_t c = tree_.nodes[row].firstChild; c != 0;
                 c = tree_.nodes[c].nextSibling) {
                const Tag tag = tree_.nodes[c].tag;
                if (tag == Tag::kTd || tag == Tag::kTh) {
                    ++cells;
                    blocky = blocky || HasBlockInside(c, 0);
                }
            }
            wideRows += cells > 1;
        });
        return rows > 0 && wideRows * 2 >= rows && !blocky;
    }

    bool HasBlockInside(std::uint32_t n, int depth) const {
        if (depth > 8) {
            return true;
        }
        for (std::uint32_t c = tree_.nodes[n].firstChild; c != 0; c = tree_.nodes[c].nextSibling) {
            const Tag tag = tree_.nodes[c].tag;
            if (tag == Tag::kTable || tag == Tag::kUl || tag == Tag::kOl || tag == Tag::kPre ||
                tag == Tag::kBlockquote || (tag >= Tag::kH1 && tag <= Tag::kH6) ||
                HasBlockInside(c, depth + 1)) {
                return true;
            }
        }
        return false;
    }

    void WriteTable(std::uint32_t table, std::vector<ContentBlock>& sink) {
        ContentBlock block;
        block.kind = BlockKind::kTable;
        ++tableDepth_;
        ForEachRow(table, [&](std::uint32_t row, bool inHead) {
            if (removed_[row]) {
                return;
            }
            ContentBlock line;
            line.kind = BlockKind::kTableRow;
            bool allHeaders = true;
            for (std::uint32_t c = tree_.nodes[row].firstChild; c != 0;
                 c = tree_.nodes[c].nextSibling) {
                const Tag tag = tree_.nodes[c].tag;
                if (tag != Tag::kTd && tag != Tag::kTh) {
                    continue;
                }
                allHeaders = allHeaders && tag == Tag::kTh;
                ContentBlock cell;
                cell.kind = BlockKind::kParagraph;
                if (!removed_[c]) {
                    // A cell is one line: its paragraphs join with breaks.
                    for (ContentBlock& part : Nested(c)) {
                        if (!cell.inlines.empty()) {
                            cell.inlines.push_back(InlineRun{InlineKind::kBreak, {}, {}});
                        }
                        for (InlineRun& run : part.inlines) {
                            cell.inlines.push_back(std::move(run));
                        }
                    }
                }
                line.children.push_back(std::move(cell));
            }
            line.header = inHead || (allHeaders && !line.children.empty());
            if (!line.children.empty()) {
                block.children.push_back(std::move(line));
            }
        });
        --tableDepth_;
        if (!block.children.empty()) {
            sink.push_back(std::move(block));
        }
    }

    HtmlTree tree_;
    bool productPage_ = false;
    std::uint32_t tableDepth_ = 0;  // tables being written around the current block
    std::uint32_t ownHeading_ = 0;
    Text address_;
    RuleSet disabled_;
    std::vector<std::uint8_t> removed_, inLink_, holdsMain_, holdsBlock_;
    std::vector<std::uint8_t> inCode_;    // inside pre, code, kbd or samp
    std::vector<std::uint8_t> inThread_;  // inside comments kept as the page's thread
    std::vector<std::uint8_t> cardArticle_;  // an <article> beside another
    bool discussion_ = false;
    std::vector<std::uint32_t> blockOf_, pageWords_, pageLinkWords_;
    std::vector<std::uint32_t> links_, anchorLinks_;  // links in the subtree, to "#…" of them
    std::uint32_t readableWords_ = 1;
    std::vector<NodeFacts> facts_;
    // 1: a member of a run of like siblings; 2: of a run that holds a good part of the page
    std::vector<std::uint8_t> series_;
    std::vector<std::uint8_t> inRun_;  // the same for the element or the run member around it
    std::vector<std::uint32_t> runWords_;  // of a run member: the words of its whole run
    std::vector<std::uint32_t> runMembers_, runBounds_;
    // What an element holds, as bits: a heading, a link, a heading that is a link.
    static constexpr std::uint8_t kHoldsHeading = 1, kHoldsLink = 2, kHoldsLinkedHeading = 4;
    std::vector<std::uint8_t> shape_;

    std::vector<InlineRun> runs_;
    bool pendingSpace_ = false;
    std::vector<std::string> linkStack_;
    int codeDepth_ = 0;
    int nesting_ = 0;
    std::string decoded_;
    const std::string empty_;
};

void AppendBlockText(const ContentBlock& block, std::string& out) {
    const auto line = [&](const std::vector<InlineRun>& runs) {
        for (const InlineRun& run : runs) {
            if (run.kind == InlineKind::kBreak) {
                out += '\n';
            } else if (run.kind != InlineKind::kImage) {
                out += run.text;
            }
        }
    };
    switch (block.kind) {
        case BlockKind::kHeading:
        case BlockKind::kParagraph:
            line(block.inlines);
            out += "\n\n";
            return;
        case BlockKind::kCode:
            out += block.code;
            out += "\n\n";
            return;
        case BlockKind::kTableRow:
            for (const ContentBlock& cell : block.children) {
                line(cell.inlines);
                out += ' ';
            }
            out += '\n';
            return;
        default:
            for (const ContentBlock& child : block.children) {
                AppendBlockText(child, out);
            }
            if (block.kind == BlockKind::kTable) {
                out += '\n';
            }
            return;
    }
}

}  // namespace

MainContent ExtractMainContent(std::string_view page, std::string_view pageAddress,
                               RuleSet disabledRules) {
    return Extractor(page, pageAddress, disabledRules).Run();
}

MainContent ExtractMainContent(std::string_view page, std::string_view pageAddress) {
    return ExtractMainContent(page, pageAddress, 0);
}

std::string ContentText(const MainContent& content) {
    std::string out;
    for (const ContentBlock& block : content.blocks) {
        AppendBlockText(block, out);
    }
    return out;
}

std::string BlockText(const ContentBlock& block) {
    std::string out;
    AppendBlockText(block, out);
    return out;
}

std::string LineText(const ContentBlock& block) {
    std::string text;
    for (const InlineRun& run : block.inlines) {
        if (run.kind != InlineKind::kImage) {
            text += run.text;
        }
    }
    return text;
}

size_t ContentWordCount(const MainContent& content) {
    size_t words = 0;
    bool inWord = false;
    for (const char16_t unit : Utf8ToWide(ContentText(content))) {
        const bool word = IsWordUnit(unit) || unit == u'_';
        words += word && !inWord;
        inWord = word;
    }
    return words;
}

}  // namespace bcnk
