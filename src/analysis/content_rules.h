#pragma once
// The rules the main-content extraction applies to single elements: which ones never hold
// content, which ones are boilerplate by their role, name or class, and which ones mark
// themselves as the page's main part. Each rule has a bit so that the benchmark can measure
// what it gains by turning it off.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analysis/html_tree.h"
#include "analysis/main_content.h"

namespace bcnk {

// One bit per rule; a set of them is what the benchmark turns off.
using RuleSet = std::uint64_t;
constexpr RuleSet RuleBit(int bit) { return RuleSet{1} << bit; }

// clang-format off
inline constexpr RuleSet kRuleHidden = RuleBit(0);            // hidden, aria-hidden, display:none
inline constexpr RuleSet kRuleLandmarks = RuleBit(1);         // nav, aside, footer, header, forms
inline constexpr RuleSet kRuleClassNames = RuleBit(2);        // class and id words of boilerplate
inline constexpr RuleSet kRuleComments = RuleBit(3);          // comment sections of articles
inline constexpr RuleSet kRuleShortBlocks = RuleBit(4);       // short fragments count half
inline constexpr RuleSet kRuleMainHint = RuleBit(5);          // <main>, <article>, role=main
inline constexpr RuleSet kRuleTitleHeading = RuleBit(6);      // the h1 above the chosen part
inline constexpr RuleSet kRuleSiblings = RuleBit(7);          // content beside the chosen part
inline constexpr RuleSet kRuleKeepMain = RuleBit(8);          // no class removes the main part
inline constexpr RuleSet kRuleJsonLd = RuleBit(9);            // product prose from JSON-LD
inline constexpr RuleSet kRuleBylines = RuleBit(10);          // author and date lines
inline constexpr RuleSet kRuleAsideHeadings = RuleBit(11);    // "Related posts" sections
inline constexpr RuleSet kRuleInterfaceText = RuleBit(12);    // "Add to cart", "Reply",
                                                              // "Lorem ipsum", "Showing 24 of 514"
inline constexpr RuleSet kRuleLinkClusters = RuleBit(13);     // link lists inside the content
inline constexpr RuleSet kRuleCards = RuleBit(14);            // card links and listed titles
inline constexpr RuleSet kRuleTeasers = RuleBit(15);          // teasers of other pages
inline constexpr RuleSet kRuleCaptions = RuleBit(16);         // figure captions and credits
inline constexpr RuleSet kRuleNavigationProse = RuleBit(17);  // prose named "nav" stays
inline constexpr RuleSet kRuleContentsLists = RuleBit(18);    // tables of contents
inline constexpr RuleSet kRuleThreadReplies = RuleBit(19);    // replies marked one by one
inline constexpr RuleSet kRuleCommentItems = RuleBit(20);     // a comment's text is no main part
inline constexpr RuleSet kRuleHiddenNotices = RuleBit(21);    // short lines hidden by style
inline constexpr RuleSet kRuleTextForms = RuleBit(22);        // forms with no field to fill
inline constexpr RuleSet kRuleDiscussions = RuleBit(23);      // a declared thread keeps its posts
inline constexpr RuleSet kRuleNestedReplies = RuleBit(24);    // answers to replies in a thread
inline constexpr RuleSet kRulePopovers = RuleBit(25);         // popover elements, shown on demand
inline constexpr RuleSet kRuleRepeatedText = RuleBit(26);     // paragraphs shown twice
inline constexpr RuleSet kRuleScreenReaderText = RuleBit(27); // labels for screen readers
inline constexpr RuleSet kRulePosterStats = RuleBit(28);      // post counts, join dates, edits
inline constexpr RuleSet kRulePrompts = RuleBit(29);          // sign-up prompts under threads
inline constexpr RuleSet kRuleOwnHeading = RuleBit(30);       // only the page's own h1 keeps
inline constexpr RuleSet kRuleProductPage = RuleBit(31);      // one product's page: no reviews
// Bits 32 to 47: articles, documentation and service pages.
inline constexpr RuleSet kRuleCardArticles = RuleBit(32);     // <article> cards mark no main part
inline constexpr RuleSet kRuleSourceLists = RuleBit(33);      // "References", "Article sources"
inline constexpr RuleSet kRuleAsideTitles = RuleBit(34);      // "Related posts" set as a <div>
inline constexpr RuleSet kRuleReadingPrompts = RuleBit(35);   // "Watch next", "Get the latest"
inline constexpr RuleSet kRuleHeadLines = RuleBit(36);        // "By Ann Lee", a date over the text
inline constexpr RuleSet kRuleAuthorBox = RuleBit(37);        // the author's name and biography
inline constexpr RuleSet kRuleHiddenClasses = RuleBit(38);    // short lines of class "d-none"
// Bits 48 to 63: product, collection and listing pages.
inline constexpr RuleSet kRuleProductVariants = RuleBit(48);  // one ProductGroup or item
inline constexpr RuleSet kRuleMediaAddresses = RuleBit(49);   // a picture's address as text
inline constexpr RuleSet kRuleCardBadges = RuleBit(50);       // "New", "Sold out", "+8"
inline constexpr RuleSet kRuleDeclaredDescription = RuleBit(51);  // a product's own summary
inline constexpr RuleSet kRuleFilterPanels = RuleBit(52);     // a listing's facets
inline constexpr RuleSet kRuleProductRepeats = RuleBit(53);   // a product's lines read once
inline constexpr RuleSet kRuleRatingLines = RuleBit(54);      // "4.6 out of 5 stars"
inline constexpr RuleSet kRuleAboveProductName = RuleBit(56);  // a product page's top bars
inline constexpr RuleSet kRulePosterCounts = RuleBit(57);     // "Posts: 1,234" by a post
inline constexpr RuleSet kRuleShopControls = RuleBit(58);     // "Notify me", "Size guide"
inline constexpr int kRuleCount = 59;
// clang-format on

using RuleHit = RuleSet;  // the bit of the rule that left an element out, or 0

// Blocks of at least this many words outside links read as content outright.
inline constexpr float kLongBlockWords = 10;
// Of a shorter block's words, this share counts as content and the rest as clutter.
inline constexpr float kShortBlockShare = 0.75f;
// What each word of link text costs a candidate.
inline constexpr float kLinkWordCost = 0.6f;
// A sibling of the chosen element joins it with this many content words at this density.
inline constexpr float kSiblingWords = 10;
inline constexpr float kSiblingDensity = 0.6f;
// JSON-LD prose shorter than this is a tag line, not a description.
inline constexpr std::uint32_t kJsonLdProseWords = 12;
// An element of the content whose words are more than this share link text is a panel of
// links, when it has at least kClusterMinWords words and less than kClusterMaxShare of the
// content's.
inline constexpr float kClusterLinkShare = 0.6f;
inline constexpr std::uint32_t kClusterMinWords = 4;
inline constexpr float kClusterMaxShare = 0.1f;
// Teasers of other pages beside the content go when they hold less than this share of its
// words; more, and they are the page (a listing).
inline constexpr float kTeaserMaxShare = 0.25f;
// A link of at least this many words in a run of like siblings that holds at least this
// share of the page's words is the title of a listed item (a story, a job, a paper).
inline constexpr std::uint32_t kHeadlineWords = 6;
inline constexpr float kListingRunShare = 0.2f;
// A comment section holding more than this share of the page's words is its thread.
inline constexpr float kThreadShare = 0.2f;
// Replies marked one by one are the thread when their run holds more than this share of the
// page's words; less, and they are the comments under an article.
inline constexpr float kThreadRepliesShare = 0.5f;
// aria-hidden leaves out an element of at most this many words (an icon, a glyph's label).
inline constexpr std::uint32_t kAriaHiddenMaxWords = 3;
// An element hidden by its inline style with at most this many words is a notice a script
// shows when it applies, not a folded panel.
inline constexpr std::uint32_t kHiddenNoticeMaxWords = 30;
// An element of at least this many words, at most this share of them in links, reads as
// running text.
inline constexpr std::uint32_t kProseWords = 40;
inline constexpr float kProseLinkShare = 0.2f;
// A table of contents: at least this many links, all to the page's own sections, and at
// least this share of its words in them.
inline constexpr std::uint32_t kContentsMinLinks = 3;
inline constexpr float kContentsLinkShare = 0.8f;
// Author and date lines, and author boxes with a biography, have at most this many words.
inline constexpr std::uint32_t kBylineMaxWords = 300;
// A notice asking for scripts has at most this many words.
inline constexpr std::uint32_t kScriptNoticeWords = 30;
// Text for screen readers only of at most this many words labels a control or an icon; a
// poster's counts and a post's edit line are as short.
inline constexpr std::uint32_t kScreenReaderMaxWords = 8;
// A line of at most this many words, outside any link, may title a section as a heading does.
inline constexpr std::uint32_t kTitleLineWords = 8;
// The section of such a line spans at most this many elements.
inline constexpr std::uint32_t kTitleSectionSiblings = 256;
// The first block of at least this many words starts an article's text: dates and bylines
// above it are about the page.
inline constexpr std::size_t kHeadTextWords = 15;
// Added to the score of an element that names itself the main part.
inline constexpr float kMainHintBonus = 0.05f;

// A byte of a word as the extraction counts them: ASCII letters, digits, '_' and any byte
// above ASCII, taken as a letter.
bool IsWordByte(unsigned char c);

// Runs of word bytes, references left as written: close enough to rank blocks by, and far
// cheaper than decoding every text.
std::uint32_t CountRawWords(std::string_view text);

// Elements that never hold readable content.
bool IsDropped(Tag tag);

// Whether to leave the element out. `wrapper`: the element holds most of the page's words,
// so only what it is, never its class name, may remove it. `prose`: the element reads as
// running text, which a class word of navigation does not remove.
RuleHit JudgeElement(const HtmlTree& tree, std::uint32_t node, bool wrapper, bool prose,
                     RuleSet disabledRules);

// A text that is only a template's placeholder ("{{ price }}", "${{amount}}"): what a page
// shows before its scripts fill it in.
bool IsUnfilledPlaceholder(std::string_view text);

// A forum poster's panel by its class or id: who posted, their rank, the votes.
bool IsPosterPanel(const HtmlTree& tree, std::uint32_t node);

// A cookie or consent panel by its class or id: on a page of little text it can hold most
// of the words, and still is no content.
bool IsConsentPanel(const HtmlTree& tree, std::uint32_t node);

// A listing's filter panel by its class ("facets", "product-filters", "refinements"):
// the options a reader narrows the list by, not what it lists.
bool IsFilterPanel(const HtmlTree& tree, std::uint32_t node);

// A heading that introduces links away from the page or a reply form: "Related posts",
// "You may also like", "Leave a reply" and the like.
bool IsAsideHeading(std::string_view headingText);

// A heading over a prompt to sign up or the board's posting rules ("Create an account or
// sign in to comment"): its section goes however much it says.
bool IsPromptHeading(std::string_view headingText);

// A paragraph that is only the label of a control or a status ("Add to cart", "Reply with
// quote", "Loading...", "Joined"), whatever its letter case and the punctuation around it.
bool IsInterfaceText(std::string_view paragraph);

// A single comment marked up as one (itemprop="comment", a schema.org Comment): the text it
// marks as its own is the comment's, not the page's main part.
bool IsCommentItem(const HtmlTree& tree, std::uint32_t node);

// A list or section of comments by its class or id (not a single numbered comment).
bool IsCommentSection(const HtmlTree& tree, std::uint32_t node);

// A page that declares itself a discussion (a schema.org DiscussionForumPosting or QAPage in
// its JSON-LD or microdata): its comments are the thread.
bool IsDiscussionPage(const HtmlTree& tree);

// A heading that points readers on to other pages or asks them to sign up ("Watch next",
// "More news", "Get the latest in your inbox", "Written by"), beyond those IsAsideHeading
// knows.
bool IsReadingPromptHeading(std::string_view headingText);

// A heading over the list of works an article cites ("References", "Article sources"): the
// list credits the text and is no part of what it says.
bool IsSourcesHeading(std::string_view headingText);

// "#12", the number a forum gives each post of a thread, alone on its line (elsewhere, as in
// a chart's "#1", it may be a rank worth keeping).
bool IsPostNumber(std::string_view paragraph);

// <main>, <article>, role="main", itemprop="articleBody" and the like.
bool IsMainHint(const HtmlTree& tree, std::uint32_t node);

// ExtractMainContent with the given rules turned off, for measuring.
MainContent ExtractMainContent(std::string_view page, std::string_view pageAddress,
                               RuleSet disabledRules);

}  // namespace bcnk
