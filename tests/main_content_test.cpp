#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/author_lines.h"
#include "analysis/content_rules.h"
#include "analysis/head_lines.h"
#include "analysis/html_tree.h"
#include "analysis/main_content.h"

namespace bcnk {
namespace {

// Sentences long enough to read as content.
std::string Prose(const std::string& topic, int sentences = 3) {
    std::string text;
    for (int k = 0; k < sentences; ++k) {
        text += "The " + topic + " section explains step " + std::to_string(k) +
                " of the work in plain words that a reader can follow without any help. ";
    }
    return text;
}

template <typename Make>
std::string Repeat(int times, Make&& make) {
    std::string out;
    for (int k = 0; k < times; ++k) {
        out += make(k);
    }
    return out;
}

const std::string kChrome =
    "<header><a href=/>Home</a> <a href=/shop>Shop catalogue</a></header>"
    "<nav><ul><li><a href=/a>Alpha menu</a><li><a href=/b>Beta menu</a></ul></nav>"
    "<div class=cookie-banner>We use cookies to improve your experience accept all</div>"
    "<div class='share-bar'><a href=#>Share on network</a></div>";
const std::string kFooter =
    "<aside><h3>Popular posts</h3><ul><li><a href=/p1>Popular one</a></ul></aside>"
    "<footer>Copyright footer text all rights reserved</footer>"
    "<script>var trackingScriptWord = 1;</script><style>.styleRuleWord{}</style>";

struct Shape {
    const char* name;
    std::string html;
    std::vector<std::string> kept;
    std::vector<std::string> dropped;
};

TEST(ExtractMainContent, PageShapesKeepContentAndDropFurniture) {
    const std::vector<Shape> shapes = {
        {"article",
         "<html><head><title>T</title></head><body>" + kChrome +
             "<main><article><h1>Baking bread</h1><p>" + Prose("dough") + "</p><p>" +
             Prose("oven") + "</p></article></main>" + kFooter + "</body></html>",
         {"Baking bread", "dough section", "oven section"},
         {"Alpha menu", "cookies", "Share on network", "Copyright footer", "Popular one",
          "trackingScriptWord", "styleRuleWord", "Shop catalogue"}},
        {"documentation with sidebar and table of contents",
         "<body>" + kChrome +
             "<div class=layout><div class=sidebar><ul><li><a href=/d1>Install page</a>"
             "<li><a href=/d2>Configure page</a></ul></div><div class=doc><h1>Configure"
             "<a class=headerlink href=#configure>\xC2\xB6</a></h1><p>" +
             Prose("settings") + "</p><pre><code>run --flag\n  indented</code></pre>"
             "<h2>Calling from C#</h2><p>" +
             Prose("options") + "</p></div><nav class=toc><a href=#x>On this page</a></nav></div>" +
             kFooter,
         {"Configure\n", "settings section", "run --flag\n  indented", "Calling from C#",
          "options section"},
         {"Install page", "On this page", "Alpha menu", "\xC2\xB6"}},
        {"service page spread over sections",
         "<body>" + kChrome + "<section><h2>Consulting</h2><p>" + Prose("consulting") +
             "</p></section><section><h2>Delivery</h2><p>" + Prose("delivery") +
             "</p></section><section><h2>Support</h2><p>" + Prose("support") + "</p></section>" +
             kFooter,
         {"Consulting", "consulting section", "delivery section", "support section"},
         {"Alpha menu", "Copyright footer"}},
        {"forum thread",
         "<body>" + kChrome + "<div class=thread><h1>Printer jams</h1>"
             "<div class=post><span class=author>ann</span><div class=message-userExtras>"
             "<dl><dt>Joined</dt><dd>Panelday 29, 2016</dd></dl></div><div class=userBanner>"
             "Ten Year Member</div><p>" + Prose("question") +
             "</p><div class=tools>Reply with quote</div><p>View attachment 3241</p></div>"
             "<p>Not open for further replies.</p><div class=post>"
             "<span class=author>bob</span><div class=js-vote-count>4211</div><div>"
             "<span class=MessageCard__post-count>25,064 posts</span><span "
             "class=MessageCard__join-date>Joined 2007</span></div><p>" + Prose("answer") +
             "</p><div class='message-lastEdit'>Last edited: Jul 25, 2024</div></div>"
             "<div class=post><p>" + Prose("followup") + "</p></div><div class=guest>"
             "<h2>Create an account or sign in to comment</h2><p>You need to be a member in "
             "order to leave a comment. " + Prose("signup") + "</p></div></div>"
             "<form><label>Reply box label</label><textarea>draft</textarea></form>" + kFooter,
         {"Printer jams", "question section", "answer section", "followup section"},
         {"Reply box label", "draft", "Alpha menu", "Reply with quote", "ann", "Panelday",
          "Ten Year Member", "sign in to comment", "need to be a member", "signup section", "4211", "25,064",
          "Joined 2007", "Last edited", "View attachment", "further replies"}},
        {"product with its description only in JSON-LD",
         "<html><head><script type=\"application/ld+json\">{\"@type\":\"Product\",\"name\":"
         "\"Desk\",\"description\":\"A standing desk with a solid oak top, two motors and "
         "four memory presets for every height you need \\u2014 made to last.\"}</script>"
         "</head><body>" + kChrome + "<div class=product><h1>Oak standing desk</h1>"
             "<p>Price 499</p><button>Add to cart</button></div><div id=product-reviews>"
             "<p>Sturdy and quiet, my back thanks me every single working day now.</p></div>" +
             kFooter,
         {"Oak standing desk", "solid oak top", "\xE2\x80\x94 made to last"},
         {"Add to cart", "Alpha menu", "Sturdy and quiet"}},
        {"listing of repeated cards",
         "<body>" + kChrome + "<h1>Recipes</h1><div class=grid><div class=filters>"
             "<input type=checkbox id=v><label for=v>Vegetarian only</label></div>" +
             [] {
                 std::string cards;
                 for (int k = 0; k < 6; ++k) {
                     cards += "<div class=card><h3><a href=/r" + std::to_string(k) +
                              ">Recipe number " + std::to_string(k) +
                              "</a></h3><p>A quick dish for busy evenings with few "
                              "ingredients and little washing up afterwards.</p><small>"
                              "Rated by cooks</small></div>";
                 }
                 return cards;
             }() +
             "</div>" + kFooter,
         {"Recipes", "Recipe number 0", "Recipe number 5", "busy evenings"},
         {"Alpha menu", "Copyright footer", "Vegetarian only", "Rated by cooks"}},
        {"hidden parts and streamed parts",
         "<body><div hidden><p>" + Prose("hiddenword") + "</p></div>"
             "<div aria-hidden=true>Ariahiddenword icon</div><article><p>" + Prose("visible") +
             "</p><div role=tabpanel hidden><p>" + Prose("tabbed") + "</p></div>"
             "<div aria-hidden=true><p>" + Prose("decorated") +
             "</p></article><div hidden id=\"S:1\"><p>" + Prose("streamed") + "</p></div>",
         {"visible section", "streamed section", "decorated section", "tabbed section"},
         {"hiddenword", "Ariahiddenword"}},
        {"noscript holding the whole page",
         "<body><noscript><p>Enable scripts</p></noscript><div id=app></div>"
             "<noscript><div class=crawler><h1>Thread</h1><p>" + Prose("static") +
             "</p></div></noscript>",
         {"Thread", "static section"},
         {"Enable scripts"}},
        {"article with teasers, a panel of links and calls to act inside it",
         "<body>" + kChrome + "<main><h1>Garden ponds</h1><p>" + Prose("pond") +
             "</p><p><a class='btn btn-primary' href=/start>Get started today</a></p><p>" +
             Prose("liner") + "</p><div class=box>Topics: <a href=/t1>Alpha topic</a> "
             "<a href=/t2>Beta topic</a> <a href=/t3>Gamma topic</a></div><div class=more>" +
             Repeat(4, [](int k) {
                 return "<div class=teaser><h3><a href=/s" + std::to_string(k) +
                        ">Other story " + std::to_string(k) + "</a></h3><p>Teaser words.</p></div>";
             }) +
             "</div><h2>Customers also bought</h2><p>Pump kit</p></main>" + kFooter,
         {"Garden ponds", "pond section", "liner section"},
         {"Get started today", "Alpha topic", "Other story", "Teaser words", "Pump kit"}},
        {"news listing whose cards are links",
         "<body>" + kChrome + "<h1>Latest news</h1><div class=stories>" +
             Repeat(6, [](int k) {
                 return "<div class=story><a href=/n" + std::to_string(k) + "><h3>Headline " +
                        std::to_string(k) + "</h3><p>What happened today and why it matters "
                        "to readers.</p></a></div>";
             }) +
             "</div>" + kFooter,
         {"Headline 0", "Headline 5", "why it matters"},
         {"Alpha menu", "Copyright footer"}},
        {"listing of long title links",
         "<body>" + kChrome + "<table class=items>" +
             Repeat(12, [](int k) {
                 return "<tr class=item><td>" + std::to_string(k) + ".</td><td><a href=/i" +
                        std::to_string(k) + ">Long title of listed item number " +
                        std::to_string(k) + " in this list</a> (example.test)</td></tr>";
             }) +
             "</table>" + kFooter,
         {"listed item number 0", "listed item number 11"},
         {"Alpha menu", "Copyright footer"}},
        {"link forum whose thread is a comment list",
         "<body>" + kChrome + "<h1><a href=https://other.test/post>Project goals</a></h1>"
             "<ol class=comments>" +
             Repeat(3, [](int k) {
                 return "<li class=comment><a href=/u" + std::to_string(k) + ">user" +
                        std::to_string(k) + "</a><p>" + Prose("reply" + std::to_string(k)) +
                        "</p></li>";
             }) +
             "</ol>" + kFooter,
         {"reply0 section", "reply2 section"},
         {"Alpha menu"}},
        {"consent panel holding most of a thin page",
         "<body><main><h1>Contact</h1><p>Call us on weekdays between nine and five.</p></main>"
             "<div id=onetrust-consent-sdk><div class=ot-pc><p>" + Prose("tracking") +
             Prose("vendor") +
             "</p></div></div>",
         {"Call us on weekdays"},
         {"tracking section", "vendor section"}},
        {"figures: picture captions go, code captions stay",
         "<body>" + kChrome + "<article><h1>Trail guide</h1><p>" + Prose("trail") +
             "</p><figure><img src=/a.jpg alt=Ridge><figcaption>Ridge at dawn, photo by Kim"
             "</figcaption></figure><p>" + Prose("route") + "</p><figure><pre>gpx --export"
             "</pre><figcaption>Listing one exports the track</figcaption></figure></article>" +
             kFooter,
         {"trail section", "route section", "gpx --export", "Listing one exports the track"},
         {"photo by Kim"}},
        {"sidebar left open around the page's main part",
         "<body><aside class=banner><a href=/news>Announcement banner</a><main><article><h1>"
             "Lessons</h1><p>" + Prose("lesson") + "</p></article></main>" + kFooter,
         {"Lessons", "lesson section"},
         {"Copyright footer"}},
        {"running text in an element named for navigation",
         "<body>" + kChrome + "<main><h1>Money</h1><div class=content-nav-section><p>" +
             Prose("saving") + "</p></div><div class=side-menu><a href=/x>Savings menu</a> "
             "<a href=/y>Budget menu</a></div><p class=contextmenu>" + Prose("budget") +
             "</p></main>" + kFooter,
         {"saving section", "budget section"},
         {"Savings menu", "Alpha menu"}},
        {"what shows before scripts run",
         "<body><noscript>You need to enable JavaScript to run this app.</noscript><main><h1>"
             "Jackets</h1><p>" + Prose("jacket") + "</p><span class=price>${{amount}}</span>"
             "<pre>{{ title }}</pre></main>",
         {"jacket section", "{{ title }}"},
         {"enable JavaScript", "amount"}},
        {"a page that is only a notice asking for scripts",
         "<body><noscript>You need to enable JavaScript to run this app.</noscript><div id=root>"
             "</div>",
         {},
         {"enable JavaScript"}},
        {"table of contents",
         "<body>" + kChrome + "<article><h1>Guide</h1><p>7 min read</p><p>Sponsored</p>"
             "<div>Table of contents</div><ul><li><a href=#one>First part</a>"
             "<li><a href=#two>Second part</a><li><a href=#three>Third part</a></ul><h2 id=one>"
             "One</h2><p>" + Prose("first") + "</p><p>See <a href=#two>below</a>, <a href=#three>"
             "after</a> and <a href=/x>elsewhere</a>.</p></article>" + kFooter,
         {"first section", "See below, after and elsewhere"},
         {"First part", "Third part", "min read", "Table of contents", "Sponsored"}},
        {"a post body named for its metadata field",
         "<body>" + kChrome + "<div class=post><div class=post-meta>By Ann, 4 May</div><span "
             "class='wrapper_meta_field rich_text'><p>" + Prose("regulation", 20) +
             "</p></span></div>" + kFooter,
         {"regulation section"},
         {"By Ann"}},
        {"a section titled like an aside that is running text",
         "<body>" + kChrome + "<article><h1>Folding</h1><p>" + Prose("fold") + "</p><h2>Related"
             "</h2><p>" + Prose("earlier paper") + "</p><h5>Recommended courses:</h5><p>" +
             Prose("course") + "</p><h3>Related posts</h3><ul><li><a href=/p1>Teaser one</a>"
             "<li><a href=/p2>Teaser two</a></ul></article>" + kFooter,
         {"fold section", "earlier paper section", "Recommended courses", "course section"},
         {"Related posts", "Teaser one"}},
        {"reference documentation with permalinks and footnotes",
         "<body>" + kChrome + "<main><h1>json</h1><dl><dt>json.dump(obj)<a class=headerlink "
             "href=#json.dump>\xC2\xB6</a></dt><dd><p>" + Prose("dump") + "</p></dd></dl>" +
             Repeat(8, [](int k) {
                 const std::string name = "Step" + std::to_string(k);
                 return "<h2>" + name + " of the guide <a href=#" + name +
                        " aria-hidden=true>#</a></h2><p>" + Prose(name, 3) + "</p>";
             }) + "<p>"
             "Footnotes</p><aside class='footnote-list brackets'><aside class=footnote role=note>"
             "<p>As noted in the errata</p></aside></aside></main>" + kFooter,
         {"json.dump(obj)\n", "dump section", "As noted in the errata", "Step0 of the guide",
          "Step7 section"},
         {"\xC2\xB6", "Popular one"}},
        {"a listing whose items carry their details in meta blocks",
         "<body>" + kChrome + "<main><h1>Recent papers</h1><dl>" + Repeat(12, [](int k) {
             return "<dt><a href=/abs/" + std::to_string(k) + ">paper " + std::to_string(k) +
                    "</a></dt><dd><div class=meta><div class=list-title>Learning to fold paper "
                    "number " + std::to_string(k) + " in fewer steps</div><div class=list-authors>"
                    "Ann Author and Bo Writer</div></div></dd>";
         }) + "</dl></main>" + kFooter,
         {"Learning to fold paper number 3"},
         {"Alpha menu"}},
        {"a listing beside a consent panel of thousands of words",
         "<body>" + kChrome + "<div id=onetrust-consent-sdk class=show-banner><p>" +
             Prose("vendor", 30) + "</p></div><main><h1>Tomato sauces</h1><p>Our sauces.</p>" +
             Repeat(12, [](int k) {
                 return "<a class=card href=/r" + std::to_string(k) + "><span class=card__title>"
                        "Slow cooker tomato sauce recipe number " + std::to_string(k) +
                        "</span></a>";
             }) + "</main>" + kFooter,
         {"Tomato sauces", "recipe number 4"},
         {"vendor section"}},
        {"blocks named published and skip targets",
         "<body>" + kChrome + "<div class=page><div id=topic1 class=skip-item><h2>First</h2><p>" +
             Prose("first") + "</p></div><div class='paragraph paragraph-published'><p>" +
             Prose("second") + "</p></div></div>" + kFooter,
         {"first section", "second section"},
         {"Alpha menu"}},
        {"thread whose replies are each marked as a reply",
         "<body>" + kChrome + "<h1>First projects</h1><div class=forum-post><p>" +
             Prose("opening") + "</p></div><h2>76 Replies</h2>" +
             Repeat(4, [](int k) {
                 return "<div class='forum-post forum-post-reply'><p>" +
                        Prose("answer" + std::to_string(k)) + "</p></div>";
             }) +
             kFooter,
         {"opening section", "answer0 section", "answer3 section"},
         {"Alpha menu", "76 Replies"}},
        {"replies to replies nested in their own comment lists",
         "<body>" + kChrome + "<h1>Project goals</h1><ol class=comments>" +
             Repeat(3, [](int k) {
                 const std::string id = std::to_string(k);
                 return "<li class=comments_subtree><div class=comment><p>" +
                        Prose("top" + id) + "</p></div><ol class=comments><li "
                        "class=comments_subtree><div class=comment><p>Nested answer " + id +
                        " says the goal list helps with planning.</p></div></li></ol></li>";
             }) +
             "</ol>" + kFooter,
         {"top0 section", "top2 section", "Nested answer 0", "Nested answer 2"},
         {"Alpha menu"}},
        {"article with a few comments beside it, none around them",
         "<body>" + kChrome + "<article><h1>Sourdough</h1><p>" + Prose("starter", 12) +
             "</p></article>" +
             Repeat(3, [](int k) {
                 return "<div class=reply><p>Nice recipe number " + std::to_string(k) +
                        ", I will try it this weekend with my kids.</p></div>";
             }) +
             kFooter,
         {"starter section"},
         {"Nice recipe", "Alpha menu"}},
        {"answers keep their text, comments marked as comments go",
         "<body>" + kChrome + "<div role=main><h1>Focus the file pane</h1>" +
             Repeat(3, [](int k) {
                 return "<div class=answer itemscope itemtype=https://schema.org/Answer>"
                        "<div itemprop=text><p>" + Prose("answer" + std::to_string(k)) +
                        "</p></div><div class=comments><ul><li itemprop=comment itemscope "
                        "itemtype=https://schema.org/Comment><span itemprop=text>Thanks, "
                        "remark number " + std::to_string(k) + " worked</span></li></ul>"
                        "</div></div>";
             }) +
             "</div>" + kFooter,
         {"Focus the file pane", "answer0 section", "answer2 section"},
         {"remark number", "Alpha menu"}},
        {"notices hidden by style and popovers go, folded answers stay",
         "<body>" + kChrome + "<div class=blockMessage style='display: none'>You are using an "
             "out of date browser</div><i-card popover id=install><p>" + Prose("install") +
             "</p></i-card><main><h1>Trekking pack</h1><p>" + Prose("pack") +
             "</p><div class=faq><div class=faq-question>Is it light?</div><div class=faq-answer "
             "style='DISPLAY:none'>Yes, it weighs under a kilo with its rain cover.</div></div>"
             "</main>" + kFooter,
         {"pack section", "weighs under a kilo"},
         {"out of date browser", "install section", "Alpha menu"}},
        {"posts wrapped in forms with nothing to fill in",
         "<body>" + kChrome + "<h1>Hair follicles grown</h1>" +
             Repeat(4, [](int k) {
                 return "<div class=thing><form class=usertext><input type=hidden name=id>"
                        "<div class=md><p>" + Prose("remark" + std::to_string(k)) +
                        "</p></div></form></div>";
             }) +
             "<form class=jump><a href=/f1>Forum one</a> <a href=/f2>Forum two</a> "
             "<a href=/f3>Forum three</a></form><form><p>Write your reply here:</p>"
             "<textarea>draft</textarea></form>" + kFooter,
         {"remark0 section", "remark3 section"},
         {"Forum one", "Write your reply", "Alpha menu"}},
        {"a page declared a discussion keeps every post of its comment section",
         "<head><script type=application/ld+json>{\"@type\":\"QAPage\"}</script></head><body>" +
             kChrome + "<h1>Is consulting worth it</h1><p>" + Prose("question") + "</p>" +
             "<div class=sidebar-free>" + Prose("clutter", 8) + "</div>"
             "<div id=comments class=post-comments><div class=comment-forum-wrapper>" +
             Repeat(3, [](int k) {
                 return "<article class=js-comment><div class=comment><p>#" +
                        std::to_string(k + 1) + "</p><p>" + Prose("answer" + std::to_string(k)) +
                        "</p></div></article>";
             }) +
             "</div></div>" + kFooter,
         {"question section", "answer0 section", "answer2 section"},
         {"Alpha menu", "#1", "#3"}},
        {"screen-reader labels go, screen-reader prices stay",
         "<body>" + kChrome + "<main><h1>Beginner projects</h1><p><span class=u-srOnly>Thread "
             "starter</span> ann</p><p>" + Prose("bench") + "</p><p><del aria-hidden=true>$30"
             "</del><span class=screen-reader-text>Original price was: $30.</span></p></main>" +
             kFooter,
         {"bench section", "Original price was: $30."},
         {"Thread starter", "Alpha menu"}},
        {"highlighted code keeps its comment and name tokens",
         "<body>" + kChrome + "<main><h1>Spawning</h1><p>" + Prose("runtime") +
             "</p><pre><code><span class=hljs-comment>// runs on a worker</span>\n"
             "spawn(<span class=nav>task</span>);</code></pre></main>" + kFooter,
         {"// runs on a worker\nspawn(task);"},
         {"Alpha menu"}},
        {"legal dialog in the footer with a heading of its own",
         "<title>Wool runner | Shop</title><body>" + kChrome + "<main><h1>Wool runner</h1><p>" +
             Prose("runner") + "</p></main><footer><div role=dialog class=modal-terms>"
             "<h1>Terms of service</h1><p>" + Prose("terms", 2) + "</p></div></footer>",
         {"Wool runner", "runner section"},
         {"Terms of service", "terms section"}},
        {"related reading given as prose stays, related links go",
         "<body>" + kChrome + "<main><h1>Tents</h1><p>" + Prose("tent") +
             "</p><section><h2>Related expert advice</h2><p>" + Prose("pitching", 2) +
             "</p></section><section><h2>Related posts</h2><ul>" +
             Repeat(4, [](int k) {
                 return "<li><a href=/r" + std::to_string(k) + ">Related story " +
                        std::to_string(k) + " about camping gear</a></li>";
             }) +
             "</ul></section></main>" + kFooter,
         {"tent section", "Related expert advice", "pitching section"},
         {"Related story", "Related posts"}},
        {"page drawn by scripts: its request for them, template fields and builder filler",
         "<body><noscript>You need to enable JavaScript to run this app.</noscript>"
         "<div id=root><p>${{amount_no_decimals}}</p><p>Lorem ipsum dolor sit amet, consectetur "
         "adipiscing elit, sed do eiusmod tempor.</p><h2>Your Custom Text Here</h2></div>",
         {},
         {"JavaScript", "amount", "Lorem", "Custom Text"}},
        {"template syntax taught in code stays",
         "<body><main><h1>Forms</h1><p>Write <code>{{ form }}</code> where the fields of the "
         "form should appear in the template.</p></main>",
         {"{{ form }}", "where the fields"},
         {}},
        {"article followed by other stories as <article> cards in a related section",
         "<body>" + kChrome + "<div class=post><h1>Tide pools</h1><p>" + Prose("tide") + "</p><p>" +
             Prose("rock") + "</p></div><section id=related><div class=wrap><h2>More stories</h2>" +
             Repeat(3, [](int k) {
                 return "<article class=preview><h3><a href=/s" + std::to_string(k) +
                        ">Story " + std::to_string(k) + "</a></h3><p>" +
                        Prose("story" + std::to_string(k), 1) + "</p></article>";
             }) +
             "</div></section>" + kFooter,
         {"Tide pools", "tide section", "rock section"},
         {"story0 section", "story2 section"}},
        {"article ending in the list of works it cites",
         "<body>" + kChrome + "<article><h1>Sleep and memory</h1><p>" + Prose("sleep") +
             "</p><h2>Sources of rest</h2><p>" + Prose("rest") + "</p><h2>References</h2><ol>" +
             Repeat(6, [](int k) {
                 return "<li>Author " + std::to_string(k) + " and colleagues (2020). A study of "
                        "sleep, memory and the consolidation of what was learned in the day. "
                        "Journal of Studies " + std::to_string(k) + ".</li>";
             }) +
             "</ol></article>" + kFooter,
         {"Sleep and memory", "sleep section", "Sources of rest", "rest section"},
         {"References", "colleagues"}},
        {"article whose side section is titled by a styled line, not a heading",
         "<body>" + kChrome + "<div class=entry><h1>Pruning roses</h1><p>" + Prose("cane") +
             "</p><p>" + Prose("bud") + "</p><div class=block><div class=h2>You might also "
             "like</div>" + Repeat(3, [](int k) {
                 return "<div class=item><b>Climbing roses " + std::to_string(k) +
                        "</b> <i>Five minutes</i></div>";
             }) +
             "</div><p class=lead>Keep the secateurs sharp.</p></div>" + kFooter,
         {"Pruning roses", "cane section", "bud section"},
         {"You might also", "Climbing roses"}},
        {"article pointing readers on and asking them to sign up",
         "<body>" + kChrome + "<div class=entry><h1>Brewing tea</h1><p>" + Prose("leaf") +
             "</p><h2>Watch next</h2><p>Green tea in ten minutes</p><p>Matcha at home</p>"
             "<h2>Get the latest in your inbox</h2><p>Weekly letters from our kitchen.</p>"
             "<h2>Steeping times</h2><p>" + Prose("steep") + "</p></div>" + kFooter,
         {"Brewing tea", "leaf section", "Steeping times", "steep section"},
         {"Watch next", "Matcha at home", "Weekly letters"}},
        {"article with its byline and date above the text",
         "<body>" + kChrome + "<div class=entry><h1>Bees in winter</h1><p>By Ann Lee</p>"
             "<p>Updated March 4, 2025</p><p>" + Prose("hive") + "</p><p>March 4, 2025</p>"
             "<p>" + Prose("cluster") + "</p></div>" + kFooter,
         {"Bees in winter", "hive section", "March 4, 2025\n", "cluster section"},
         {"Ann Lee", "Updated"}},
        {"article with its author's box, the author named in the page's JSON-LD",
         "<head><script type=application/ld+json>{\"@type\":\"Article\",\"author\":"
             "{\"@type\":\"Person\",\"name\":\"Ann Lee\"}}</script></head><body>" +
             kChrome + "<div class=entry><h1>Composting</h1><p>" + Prose("heap") +
             "</p><p>Ann Lee and her neighbours turn the heap weekly.</p><div class=box>"
             "<p>Ann Lee</p><p>Ann Lee is a garden writer who has tended allotments for "
             "twenty years.</p></div></div>" + kFooter,
         {"Composting", "heap section", "Ann Lee and her neighbours"},
         {"garden writer", "Ann Lee\n"}},
        {"short lines hidden by utility classes, unless a screen size shows them",
         "<body>" + kChrome + "<div class=entry><h1>Rain gauges</h1><p>" + Prose("gauge") +
             "</p><p class='d-none'>Your basket is empty</p><span class='hidden'>Copied!</span>"
             "<p class='hidden md:block'>Wide screens show this line</p><p class='d-none "
             "d-lg-block'>Large screens show this one</p><div class=hidden><p>" + Prose("fold") +
             "</p></div></div>" + kFooter,
         {"gauge section", "Wide screens show", "Large screens show", "fold section"},
         {"basket is empty", "Copied"}},
        {"one product's page: reviews and the shop's sections beside the description",
         "<meta property=og:type content=product><title>Oak desk | Shop</title><body>" +
             kChrome + "<div class=pdp><div class=buy><h1>Oak desk</h1><p>Sale price $300.00"
             "</p></div><div class=desc><p>" + Prose("desk") + "</p><p>Regular price $340</p><h2>Shipping &amp; returns</h2><p>" + Prose("parcel", 1) +
             "</p></div>" + Repeat(4, [](int k) {
                 return "<div class=tile><a href=/p" + std::to_string(k) +
                        "><h3>Walnut desk model " + std::to_string(k) + "</h3><p>" +
                        Prose("model" + std::to_string(k), 1) + "</p></a></div>";
             }) +
             "</div><div class=reviews-list>" +
             Repeat(3, [](int k) {
                 return "<article><p>" + Prose("reviewer" + std::to_string(k), 1) +
                        "</p></article>";
             }) +
             "</div><div class=delivery><p>" + Prose("delivery") + "</p></div>" + kFooter,
         {"Oak desk", "desk section"},
         {"reviewer0 section", "delivery section", "parcel section", "Walnut desk", "price"}},
        {"one product sold in variants: its price lines go as on any product page",
         "<script type=application/ld+json>{\"@type\":\"ProductGroup\",\"hasVariant\":["
         "{\"@type\":\"Product\",\"sku\":\"s\"},{\"@type\":\"Product\",\"sku\":\"m\"}]}"
         "</script><body><main><h1>Linen shirt</h1><p>Sale price $28.80</p><p>" +
             Prose("linen") + "</p></main>",
         {"Linen shirt", "linen section"},
         {"$28.80"}},
        {"one product as a microdata item",
         "<body><main itemscope itemtype=https://schema.org/Product><h1>Clay mug</h1>"
         "<p>$24.00</p><p>4.5 out of 5 stars</p><p>" + Prose("glaze") + "</p></main>",
         {"Clay mug", "glaze section"},
         {"$24.00", "out of 5"}},
        {"one product's page whose declared description is most of its text",
         "<meta property=og:type content=product><script type=application/ld+json>"
         "{\"@type\":\"Product\",\"description\":\"" + Prose("mug", 5) + "\"}</script>"
         "<body><main><h1>Stoneware mug</h1><div class=buy><p>Pick up in store today or have "
         "it sent to your door, free over fifty dollars</p><p>Members earn points with every "
         "order they place with us</p></div><div class=desc><p>" + Prose("mug", 5) +
             "</p></div></main>",
         {"Stoneware mug", "mug section explains step 4"},
         {"Pick up in store", "Members earn"}},
        {"one product's page that says much more than its declared description",
         "<meta property=og:type content=product><script type=application/ld+json>"
         "{\"@type\":\"Product\",\"description\":\"" + Prose("lamp", 5) + "\"}</script>"
         "<body><main><h1>Desk lamp</h1><p>" + Prose("lamp", 5) + "</p><h2>Assembly</h2><p>" +
             Prose("assembly", 12) + "</p></main>",
         {"Desk lamp", "lamp section", "assembly section explains step 11"},
         {}},
        {"a listing's filter panel goes; a section whose id names a filter stays",
         "<body><main><h1>Rain jackets</h1><p>" + Prose("jacket") + "</p><div class="
         "'col-3 product-filters'><h3>Colour</h3><ul><li><span>Olive green</span> <span>(12)"
         "</span><li><span>Navy blue</span> <span>(9)</span></ul><h3>Price</h3><ul><li>Under "
         "fifty pounds</ul></div><ul class=grid>" +
             Repeat(6, [](int k) {
                 return "<li class=tile><h3>Packable shell " + std::to_string(k) +
                        "</h3><p>Taped seams and a peaked hood</p></li>";
             }) + "</ul><section id=bloom-filter><h2>Bloom filter</h2><p>" +
             Prose("probabilistic set") + "</p></section></main>",
         {"Packable shell 5", "Taped seams", "Bloom filter", "probabilistic set section"},
         {"Olive green", "Under fifty"}},
        {"one product's page reads its panel's repeated lines once, short labels twice",
         "<meta property=og:type content=product><body><main><h1>Wool coat</h1><p>" +
             Prose("coat") + "</p>" + Repeat(2, [](int k) {
                 return "<div class=variant" + std::to_string(k) + "><p>Model wears size "
                        "medium</p><p>Fit notes:</p><p>Runs small</p></div>";
             }) + "</main>",
         {"coat section", "Model wears size medium", "Fit notes:\n\nRuns small\n\n"
          "Fit notes:\n\nRuns small"},
         {"medium\n\nFit notes:\n\nRuns small\n\nModel"}},
        // Its twin and word count say what the page holds, even when a script draws the rest.
        {"a page of headings alone keeps them",
         "<title>Laptop 13 | Shop</title><body>" + kChrome + "<main><h1>Laptop 13</h1>"
         "<h2>Language sites</h2><div id=app></div></main>" + kFooter,
         {"Laptop 13", "Language sites"},
         {}},
        {"a list of headlines with no text under them stays",
         "<body><main><h1>News</h1>" + Repeat(4, [](int k) {
             return "<h2><a href=/n" + std::to_string(k) + ">Harbour reopens after storm " +
                    "number " + std::to_string(k) + "</a></h2>";
         }) + "</main>",
         {"News", "Harbour reopens after storm number 3"},
         {}},
        {"one product's page: the bars above the product's name go, a long story stays",
         "<meta property=og:type content=product><title>Linen apron | Shop</title><body>"
         "<main><p>Free shipping this weekend only</p><p>Ada wears size S and is 170 cm</p>"
         "<h1>Linen apron</h1><p>" + Prose("apron") + "</p></main>",
         {"Linen apron", "apron section"},
         {"Free shipping this weekend", "Ada wears"}},
        {"one product's page that tells its story before naming the product",
         "<meta property=og:type content=product><title>Oak stool | Shop</title><body><main>"
         "<p>" + Prose("forest", 4) + "</p><h1>Oak stool</h1><p>" + Prose("stool", 2) +
             "</p></main>",
         {"forest section", "Oak stool", "stool section"},
         {}},
        {"stickers, swatch counts and stock alerts on a shop's cards",
         "<body><main><h1>Wool shoes</h1><p>" + Prose("wool") + "</p><ul>" +
             Repeat(4, [](int k) {
                 return "<li class=card><span class=badge>Best Seller</span><h3>Runner model " +
                        std::to_string(k) + "</h3><p>New Zealand merino upper</p><p>+3</p>"
                        "<p>5 Colours</p><p>Notify me</p></li>";
             }) + "</ul><table><tr><th>Model</th><th>State</th></tr><tr><td>Loafer</td><td>"
                  "Clearance</td></tr><tr><td>Boot</td><td>New</td></tr></table></main>",
         {"Runner model 3", "New Zealand merino", "Clearance"},
         {"Best Seller", "+3", "Colours", "Notify"}},
        {"a theme's picture fields printed as text; a table's example address stays",
         "<body><main><h1>Staple tee</h1><p>" + Prose("cotton") + "</p><p>cat_thumb_Bone:</p>"
         "<p>https://cdn.example.test/5001/STAPLE_TEE_BONE_THUMB.jpg</p>"
         "<p><a href=/v>https://cdn.example.test/v/clip.mp4?w=2</a></p><table><tr><td>Image "
         "URL</td><td>https://example.test/assets/3234.jpg</td></tr><tr><td>Name</td><td>Tee"
         "</td></tr></table></main>",
         {"cotton section", "https://example.test/assets/3234.jpg"},
         {"BONE_THUMB", "clip.mp4"}},
    };
    for (const Shape& shape : shapes) {
        const std::string text =
            ContentText(ExtractMainContent(shape.html, "https://example.test/page"));
        for (const std::string& phrase : shape.kept) {
            EXPECT_NE(text.find(phrase), std::string::npos) << shape.name << ": " << phrase
                                                            << "\n" << text;
        }
        for (const std::string& phrase : shape.dropped) {
            EXPECT_EQ(text.find(phrase), std::string::npos) << shape.name << ": " << phrase
                                                            << "\n" << text;
        }
    }
}

TEST(ContentRules, HeadingsOverSourcesAndPromptsToReadOn) {
    const struct {
        const char* heading;
        bool sources, prompt;
    } rows[] = {
        {"References", true, false},
        {"  Article Sources: ", true, false},
        {"9. References", true, false},
        {"Sources of protein", false, false},
        {"Referencing styles explained for students", false, false},
        {"Watch Next", false, true},
        {"\xE2\x9E\xA1 More news from the valley", false, true},
        {"Get the latest in your inbox", false, true},
        {"Tags: garden, soil", false, true},
        {"Tagging photos in bulk", false, false},
        {"The latest research on sleep", false, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsSourcesHeading(row.heading), row.sources) << row.heading;
        EXPECT_EQ(IsReadingPromptHeading(row.heading), row.prompt) << row.heading;
    }
}

TEST(HeadLines, DatesAndBylinesAlone) {
    const struct {
        const char* line;
        bool date, byline;
    } rows[] = {
        {"March 4, 2025", true, false},      {"Updated: 4 Mar. 2025", true, false},
        {"Last updated on Sep 30 2024", true, false}, {"03/04/2025", true, false},
        {"2025-03-04", true, false},         {"Published", false, false},
        {"March 4 was a good day", false, false}, {"Top 10 of 2025", false, false},
        {"By Ann Lee", false, true},         {"Medically reviewed by Dr. Ray", false, true},
        {"By", false, false},
        {"By the end of the day every hive in the yard had closed up", false, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsDateLine(row.line), row.date) << row.line;
        EXPECT_EQ(IsBylineLine(row.line), row.byline) << row.line;
    }
}

TEST(AuthorLines, NameAloneOrOpeningABiography) {
    const std::vector<std::string> authors = {"Ann Lee", "Raj Patel"};
    const struct {
        const char* line;
        bool author;
    } rows[] = {
        {"Ann Lee", true},
        {"By Raj Patel", true},
        {"About Ann Lee:", true},
        {"Ann Lee is a garden writer.", true},
        {"Raj Patel's work covers soil.", false},
        {"Raj Patel, a chef, has cooked for years.", false},
        {"Raj Patel has cooked for years.", true},
        {"Ann Lee and Raj Patel met in 2010.", false},
        {"Ann Leeds is a city.", false},
        {"We asked Ann Lee about compost.", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsAuthorLine(row.line, authors), row.author) << row.line;
    }
    EXPECT_FALSE(IsAuthorLine("Ann Lee", {}));

    // Names come from the meta author and each JSON-LD author object; one word is no name.
    const std::string page =
        "<meta name=author content='Raj &amp; Co Patel'><script type=application/ld+json>"
        "{\"author\":[{\"@type\":\"Person\",\"name\":\"Ann Lee\"},{\"name\":\"Acme\"}],"
        "\"publisher\":{\"name\":\"Big News Corp\"}}</script>" +
        Repeat(5000, [](int k) {
            return "<script type=application/ld+json>{\"author\":{\"name\":\"Writer " +
                   std::to_string(k) + "\"}}</script>";
        });
    const HtmlTree tree = BuildHtmlTree(page);
    const std::vector<std::string> found = PageAuthors(tree);
    ASSERT_GE(found.size(), 2u);
    EXPECT_EQ(found[0], "Raj & Co Patel");
    EXPECT_EQ(found[1], "Ann Lee");
    EXPECT_LE(found.size(), 8u);

    // The box goes on under the name with the writer's role and more of the biography.
    std::vector<ContentBlock> blocks;
    for (const char* line : {"Short note", "Ann Lee", "Garden Writer", "Ann holds a degree.",
                             "Compost is warm.", "Garden Writer"}) {
        ContentBlock block;
        block.inlines.push_back(InlineRun{InlineKind::kText, line, {}});
        blocks.push_back(std::move(block));
    }
    DropAuthorLines(blocks, authors);
    std::string kept;
    for (const ContentBlock& block : blocks) {
        kept += block.inlines[0].text + "|";
    }
    EXPECT_EQ(kept, "Short note|Compost is warm.|Garden Writer|");
}

TEST(ExtractMainContent, RepeatedTextAppearsOnce) {
    // A quote of an earlier post and a copy of a long post go; a short step repeated in
    // sections of its own stays in each.
    const std::string quote = "Has anybody tried the beta yet, and what will we get next week?";
    const std::string step = "Replace the value for from with your number in full form.";
    const std::string html = "<body><main><h1>Which version</h1><p>" + Prose("opening") +
                             "</p><p>" + quote + "</p><blockquote><p>" + quote +
                             "</p></blockquote><p>Thanks, that answers it.</p><div><p>" +
                             Prose("opening") + "</p></div><h2>Python</h2><p>" + step +
                             "</p><h2>Go</h2><p>" + step + "</p></main>";
    const std::string text = ContentText(ExtractMainContent(html, "https://example.test/t"));
    const auto count = [&](const std::string& phrase) {
        size_t found = 0;
        for (size_t at = text.find(phrase); at != std::string::npos;
             at = text.find(phrase, at + 1)) {
            ++found;
        }
        return found;
    };
    EXPECT_EQ(count(quote), 1u) << text;
    EXPECT_EQ(count("opening section explains step 0"), 1u) << text;
    EXPECT_EQ(count("Thanks, that answers it."), 1u) << text;
    EXPECT_EQ(count(step), 2u) << text;
}

TEST(ExtractMainContent, BlocksKeepTheirStructure) {
    const std::string html =
        "<title> A &amp; B </title><article><h2>Steps &lt;here&gt;</h2><p>" + Prose("intro") +
        "</p><ol><li>First <a href='/one?x=1#part 2'>link</a><ul><li>Nested</li></ul><li>Second</ol>"
        "<table><tr><th>Name<th>Size</tr><tr><td>Alpha<td>10</tr><tr><td>Beta<td>20</tr></table>"
        "<blockquote><p>" + Prose("quoted") + "</p></blockquote>"
        "<p><img src=/pic.png alt='A chart'> <a href='javascript:alert(1)'>bad</a></p></article>";
    const MainContent content = ExtractMainContent(html, "https://example.test/dir/page");
    EXPECT_EQ(content.title, "A & B");
    std::vector<BlockKind> kinds;
    for (const ContentBlock& block : content.blocks) {
        kinds.push_back(block.kind);
    }
    const std::vector<BlockKind> expected = {BlockKind::kHeading, BlockKind::kParagraph,
                                             BlockKind::kList,    BlockKind::kTable,
                                             BlockKind::kQuote,   BlockKind::kParagraph};
    ASSERT_EQ(kinds, expected);
    EXPECT_EQ(content.blocks[0].level, 2);
    EXPECT_EQ(content.blocks[0].inlines[0].text, "Steps <here>");
    const ContentBlock& list = content.blocks[2];
    EXPECT_TRUE(list.ordered);
    ASSERT_EQ(list.children.size(), 2u);
    const ContentBlock& first = list.children[0];
    ASSERT_EQ(first.children.size(), 2u);
    EXPECT_EQ(first.children[0].inlines[1].address, "https://example.test/one?x=1#part%202");
    EXPECT_EQ(first.children[1].kind, BlockKind::kList);
    const ContentBlock& table = content.blocks[3];
    ASSERT_EQ(table.children.size(), 3u);
    EXPECT_TRUE(table.children[0].header);
    EXPECT_EQ(table.children[2].children[1].inlines[0].text, "20");
    const ContentBlock& last = content.blocks[5];
    EXPECT_EQ(last.inlines[0].kind, InlineKind::kImage);
    EXPECT_EQ(last.inlines[0].address, "https://example.test/pic.png");
    EXPECT_EQ(last.inlines[0].text, "A chart");
    // A script address is no link: its text stays, its address goes.
    EXPECT_EQ(last.inlines.back().text, " bad");
    EXPECT_EQ(last.inlines.back().address, "");
}

TEST(ExtractMainContent, WordCountSkipsPunctuation) {
    const MainContent content = ExtractMainContent(
        "<p>Word \xC2\xAB two, caf\xC3\xA9_x 3 &#187; &amp;</p>", "https://example.test/");
    EXPECT_EQ(ContentWordCount(content), 4u) << ContentText(content);
}

TEST(BuildHtmlTree, ImpliedEndsAndBoundedDepth) {
    struct Row {
        std::string html;
        std::string text;  // every text node's parent tag name, "/" between
    };
    const std::vector<Row> rows = {
        {"<p>a<p>b<div>c</div>", "p/p/div"},
        {"<ul><li>a<li>b</ul>", "li/li"},
        {"<table><tr><td>a<td>b<tr><td>c</table>", "td/td/td"},
        {"<b><i>a</b>b</i>", "i/"},  // "b" after </b> closes i too: lands in the root
        {"<script>if (a<b) {}</script>x", "script/"},
        {"<div>a</span>b</div>", "div/div"},
        {"<div><button/>a</div>b", "button/"},  // the div's end closes the button left open
        {"<section><template><template>a</template></section></template>b</section>",
         "template/section"},
        // A link inside a link keeps the blocks between them open.
        {"<div><a href=1><div>x<a href=2>y</a></div></a>z</div>", "div/a/div"},
        {"<p><a href=1>x<a href=2>y</a></p>", "a/a"},
        {"<li><button class=x\nShop</button><div><button>Back</button>z</div></li>", "button/li"},
        {"<ul><li><ul></li>a</ul>b</li></ul>", "ul/li"},  // a stray </li> stays inside its list
        {"<ul><li>a</li><p><li>b</ul>", "li/li"},  // an item ends the paragraph around it
        {"<h2>a</h6><p>b", "h2/p"},
        // A head without its end tag ends at the first thing that is no head matter.
        {"<html><head><title>t</title>\n<div>a</div>", "title/head/div"},
        {"<head><meta charset=utf-8>text", ""},
        {"<head><noscript><img></noscript><title>t</title></head>", "title"},
    };
    for (const Row& row : rows) {
        const HtmlTree tree = BuildHtmlTree(row.html);
        std::string parents;
        for (const HtmlNode& node : tree.nodes) {
            if (node.tag == Tag::kText) {
                if (!parents.empty()) {
                    parents += '/';
                }
                parents += node.parent == 0 ? std::string() : std::string(tree.nodes[node.parent].text);
            }
        }
        EXPECT_EQ(parents, row.text) << row.html;
    }
    std::string deep;
    for (int k = 0; k < 5000; ++k) {
        deep += "<div>";
    }
    deep += "bottom";
    const HtmlTree tree = BuildHtmlTree(deep);
    for (const HtmlNode& node : tree.nodes) {
        EXPECT_LE(node.depth, kMaxTreeDepth + 1);
    }
    EXPECT_NE(ContentText(ExtractMainContent(deep, "https://example.test/")).find("bottom"),
              std::string::npos);
}

}  // namespace
}  // namespace bcnk
