#include "report/html_report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "common/local_time.h"
#include "common/maker_info.h"
#include "report/agents_report.h"
#include "scan/indexability.h"
#include "scan/address_check.h"
#include "scan/result_figures.h"
#include "scan/sitemap_figures.h"
#include "scan/usage_preferences.h"
#include "net/url.h"

namespace bcnk {

namespace {

// The page table's script shows this many rows at first and adds as many per "Show more".
constexpr int kRowsPerStep = 500;

// Light theme: the window has only its dark scheme, so these are the report's own; the ink
// is the window's background colour and links use its darker accent.
constexpr Rgb kLightBackground{244, 246, 248};
constexpr Rgb kLightCard{255, 255, 255};
constexpr Rgb kLightLine{213, 219, 225};
constexpr Rgb kLightDimText{85, 96, 107};
constexpr Rgb kLightRing{221, 226, 231};

// Noncharacters, C0 and C1 controls other than white space, and halves of a surrogate pair
// are parse errors in HTML; the checkers and some browsers stumble on them.
bool IsAllowedScalar(char32_t point) {
    if (point < 0x20) {
        return point == u'\t' || point == u'\n' || point == u'\r' || point == u'\f';
    }
    if (point >= 0x7F && point <= 0x9F) {
        return false;
    }
    if (point >= 0xFDD0 && point <= 0xFDEF) {
        return false;
    }
    return (point & 0xFFFE) != 0xFFFE;
}

// Calls emit(unit) for every unit of text with forbidden code points replaced by U+FFFD;
// surrogate pairs of allowed code points pass as two units.
template <typename Emit>
void ForEachCleanUnit(const Text& text, Emit emit) {
    for (size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        if (unit >= 0xD800 && unit <= 0xDBFF && index + 1 < text.size() &&
            text[index + 1] >= 0xDC00 && text[index + 1] <= 0xDFFF) {
            const char32_t point = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                   (text[index + 1] - 0xDC00);
            if (IsAllowedScalar(point)) {
                emit(unit);
                emit(text[index + 1]);
            } else {
                emit(u'\uFFFD');
            }
            ++index;
        } else if ((unit >= 0xD800 && unit <= 0xDFFF) || !IsAllowedScalar(unit)) {
            emit(u'\uFFFD');
        } else {
            emit(unit);
        }
    }
}

void AppendEscaped(Text& out, const Text& text) {
    ForEachCleanUnit(text, [&out](char16_t unit) {
        switch (unit) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'\'':
                out += u"&#39;";
                break;
            default:
                out += unit;
                break;
        }
    });
}

// A JSON string for a data block inside <script>: besides JSON's own escapes, < > & become
// \u escapes so that no "</script>" or "<!--" can end or bend the element.
void AppendJsonString(Text& out, const Text& text) {
    static const char16_t kHex[] = u"0123456789abcdef";
    out += u'"';
    ForEachCleanUnit(text, [&out](char16_t unit) {
        if (unit == u'"' || unit == u'\\') {
            out += u'\\';
            out += unit;
        } else if (unit < 0x20 || unit == u'<' || unit == u'>' || unit == u'&' || unit == 0x2028 ||
                   unit == 0x2029) {
            out += u"\\u";
            out += kHex[(unit >> 12) & 0xF];
            out += kHex[(unit >> 8) & 0xF];
            out += kHex[(unit >> 4) & 0xF];
            out += kHex[unit & 0xF];
        } else {
            out += unit;
        }
    });
    out += u'"';
}

Text CssColor(const Rgb& rgb) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", rgb.red & 0xFF, rgb.green & 0xFF,
                  rgb.blue & 0xFF);
    return AsciiToText(buffer);
}

// The band colours of the score also mark the states of rows: green for fine, amber for
// something to update, red for missing or blocked. Any score inside a band gives its colour.
constexpr int kGoodScore = 100;
constexpr int kFairScore = 50;
constexpr int kPoorScore = 0;

Text StyleSheet() {
    Text css = u":root{color-scheme:light dark;--bg:" + CssColor(kLightBackground) + u";--card:" +
               CssColor(kLightCard) + u";--line:" + CssColor(kLightLine) + u";--text:" +
               CssColor(kColorBackground) + u";--dim:" + CssColor(kLightDimText) + u";--accent:" +
               CssColor(kColorAccentDark) + u";--ring:" + CssColor(kLightRing) + u";--good:" +
               CssColor(ScoreColor(kGoodScore)) + u";--fair:" + CssColor(ScoreColor(kFairScore)) +
               u";--poor:" + CssColor(ScoreColor(kPoorScore)) + u";--ink:" +
               CssColor(kColorBackground) + u"}\n";
    css += u"@media (prefers-color-scheme:dark){:root{--bg:" + CssColor(kColorBackground) +
           u";--card:" + CssColor(kColorCard) + u";--line:" + CssColor(kColorField) + u";--text:" +
           CssColor(kColorText) + u";--dim:" + CssColor(kColorDimText) + u";--accent:" +
           CssColor(kColorAccent) + u";--ring:" + CssColor(kColorGaugeRing) + u"}}\n";
    css +=
        uR"CSS(*{box-sizing:border-box}
body{margin:0;background:var(--bg);color:var(--text);font:15px/1.45 "Segoe UI",system-ui,-apple-system,Roboto,"DejaVu Sans",sans-serif}
main{max-width:1180px;margin:0 auto;padding:24px 20px 40px}
header.top{display:flex;flex-wrap:wrap;gap:8px 24px;align-items:baseline;justify-content:space-between;margin-bottom:8px}
h1{font-size:1.6rem;margin:0}
h2{font-size:1.15rem;margin:0 0 12px}
h3{font-size:1rem;margin:14px 0 6px}
a{color:var(--accent)}
nav{margin:0 0 18px;font-size:.9rem}
nav a{margin-right:14px;display:inline-block;white-space:nowrap}
section{background:var(--card);border:1px solid var(--line);border-radius:8px;padding:18px 20px;margin:0 0 18px}
.dim{color:var(--dim)}
.facts{display:grid;grid-template-columns:max-content 1fr;gap:4px 18px;margin:0}
.facts dt{color:var(--dim)}
.facts dd{margin:0;overflow-wrap:anywhere}
.overview{display:flex;flex-wrap:wrap;gap:24px;align-items:center}
.gauge .ring{fill:none;stroke:var(--ring)}
.gauge .arc{fill:none}
.gauge text,.bars text{fill:var(--text)}
.gauge .number{font-size:40px;font-weight:600}
.gauge .unit{font-size:13px;fill:var(--dim)}
.bars .bar{fill:var(--accent)}
.bars .track{fill:var(--ring)}
.bars{width:100%;max-width:640px;height:auto}
.badge{display:inline-block;min-width:3.2em;padding:1px 8px;border-radius:10px;text-align:center;font-weight:600;color:var(--ink);font-size:.85rem}
.good{background:var(--good)}.fair{background:var(--fair)}.poor{background:var(--poor)}
.band{font-size:1.3rem;padding:2px 14px}
table{border-collapse:collapse;width:100%}
th,td{padding:6px 8px;border-bottom:1px solid var(--line);text-align:left;vertical-align:top}
th{color:var(--dim);font-weight:600;white-space:nowrap}
td{overflow-wrap:anywhere}
td.a{min-width:12em}
td.n,th.n{text-align:right;white-space:nowrap}
td.c,td.k{white-space:nowrap}
@media print,(max-width:900px){td.k{white-space:normal;overflow-wrap:normal}}
code{font-family:Consolas,"DejaVu Sans Mono",monospace;font-size:.9em}
ul.chips{list-style:none;margin:0;padding:0;display:flex;flex-wrap:wrap;gap:8px}
ul.chips li{border:1px solid var(--line);border-radius:14px;padding:2px 12px}
.controls{display:flex;flex-wrap:wrap;gap:12px;align-items:center;margin:0 0 10px}
input[type=search]{font:inherit;color:var(--text);background:var(--bg);border:1px solid var(--line);border-radius:6px;padding:5px 10px;min-width:280px}
button{font:inherit;color:inherit;background:none;border:0;padding:0;cursor:pointer}
th button{font-weight:600;color:var(--dim)}
th[aria-sort=ascending] button::after{content:" \25B2"}
th[aria-sort=descending] button::after{content:" \25BC"}
.more button,.controls button{border:1px solid var(--line);border-radius:6px;padding:4px 12px;margin:10px 10px 0 0}
footer{color:var(--dim);font-size:.85rem;text-align:center}
.static table{table-layout:fixed}
.static th:nth-child(1){width:28%}.static th:nth-child(2){width:27%}.static th:nth-child(3){width:10%}
.static th:nth-child(4),.static th:nth-child(5),.static th:nth-child(7){width:7%}
.static+.static thead{display:none}
.static{content-visibility:auto;contain-intrinsic-size:auto 16000px}
@media print{
.static{content-visibility:visible}
.static+.static thead{display:table-header-group}
:root{--bg:#fff;--card:#fff;--text:#000;--dim:#333;--line:#999;--accent:#444}
body{font-size:11pt}
main{max-width:none;padding:0}
nav,.controls,.more{display:none}
section{border:0;padding:0;margin:0 0 16pt}
h2{break-after:avoid}
tr,.overview,svg{break-inside:avoid}
thead{display:table-header-group}
a{text-decoration:none}
}
)CSS";
    return css;
}

// Reads the page rows from the data block and shows them sorted and filtered, kRowsPerStep
// at a time. Rows are built with textContent and only http(s) addresses get an href, so no
// text of the site is ever read as markup.
Text PageTableScript() {
    return uR"JS((function () {
"use strict";
var source = document.getElementById("page-data");
var live = document.getElementById("pages-live");
if (!source || !live) { return; }
var rows = JSON.parse(source.textContent);
var step = )JS" +
           NumberText(kRowsPerStep) +
           uR"JS(;
var body = document.getElementById("page-rows");
var filter = document.getElementById("page-filter");
var count = document.getElementById("page-count");
var more = document.getElementById("page-more");
var all = document.getElementById("page-all");
var headers = live.querySelectorAll("th[data-column]");
var numeric = [false, false, false, true, true, false, true, false];
var view = rows.map(function (row, index) { return index; });
var shown = step;
var sortColumn = -1;
var ascending = true;
var folded = null;
var web = /^https?:\/\//i;

function foldedText(index) {
  if (!folded) {
    folded = rows.map(function (row) {
      return (row[0] + "\n" + row[1] + "\n" + row[2] + "\n" + row[5] + "\n" + row[7]).toLowerCase();
    });
  }
  return folded[index];
}

function cell(text, className) {
  var td = document.createElement("td");
  if (className) { td.className = className; }
  td.textContent = text;
  return td;
}

function render() {
  var fragment = document.createDocumentFragment();
  var end = Math.min(shown, view.length);
  for (var i = 0; i < end; i++) {
    var row = rows[view[i]];
    var tr = document.createElement("tr");
    var address = cell("", "a");
    if (web.test(row[0])) {
      var link = document.createElement("a");
      link.href = row[0];
      link.textContent = row[0];
      address.appendChild(link);
    } else {
      address.textContent = row[0];
    }
    tr.appendChild(address);
    tr.appendChild(cell(row[1]));
    tr.appendChild(cell(row[2], "c"));
    tr.appendChild(cell(String(row[3]), "n"));
    tr.appendChild(cell(String(row[4]), "n"));
    tr.appendChild(cell(row[5]));
    tr.appendChild(cell(String(row[6]), "n"));
    tr.appendChild(cell(row[7]));
    fragment.appendChild(tr);
  }
  body.textContent = "";
  body.appendChild(fragment);
  count.textContent = "Showing " + end.toLocaleString("en") + " of " +
      view.length.toLocaleString("en") + " pages" +
      (view.length !== rows.length ? " (filtered from " + rows.length.toLocaleString("en") + ")" : "");
  more.hidden = end >= view.length;
  all.hidden = end >= view.length;
}

function sortView() {
  if (sortColumn < 0) { return; }
  var column = sortColumn;
  var keys = rows.map(function (row) {
    return numeric[column] ? row[column] : String(row[column]).toLowerCase();
  });
  var direction = ascending ? 1 : -1;
  view.sort(function (a, b) {
    var x = keys[a], y = keys[b];
    if (x < y) { return -direction; }
    if (x > y) { return direction; }
    return a - b;
  });
}

function applyFilter() {
  var needle = filter.value.trim().toLowerCase();
  view = [];
  for (var i = 0; i < rows.length; i++) {
    if (!needle || foldedText(i).indexOf(needle) >= 0) { view.push(i); }
  }
  sortView();
  shown = step;
  render();
}

headers.forEach(function (header) {
  header.querySelector("button").addEventListener("click", function () {
    var column = Number(header.getAttribute("data-column"));
    ascending = column === sortColumn ? !ascending : true;
    sortColumn = column;
    headers.forEach(function (other) { other.setAttribute("aria-sort", "none"); });
    header.setAttribute("aria-sort", ascending ? "ascending" : "descending");
    sortView();
    shown = step;
    render();
  });
});

var pending = 0;
filter.addEventListener("input", function () {
  clearTimeout(pending);
  pending = setTimeout(applyFilter, 150);
});
more.addEventListener("click", function () { shown += step; render(); });
all.addEventListener("click", function () { shown = view.length; render(); });
live.hidden = false;
render();
})();
)JS";
}

// One sentence on what to do about a check that is not OK, naming the package file that
// fixes it. Keyed by the probed path, which is fixed for each row.
struct CheckAdvice {
    const char16_t* path;
    const char16_t* missing;   // the file is not there
    const char16_t* fileName;  // the package file that fixes it
};

constexpr std::array<CheckAdvice, 10> kCheckAdvice = {{
    {u"/llms.txt",
     u"Publish an llms.txt at the site root: a short Markdown guide that points AI assistants "
     u"to your most useful pages.",
     u"llms.txt"},
    {u"/llms-lite.txt", u"Upload a short plain-text summary of the site as /llms-lite.txt.",
     u"llms-lite.txt"},
    {u"/ai-discovery.json",
     u"Upload a machine-readable description of the site and of your AI permissions as "
     u"/ai-discovery.json.",
     u"ai-discovery.json"},
    {u"/.well-known/ai-discovery.json",
     u"Put a copy of ai-discovery.json in the /.well-known/ folder as well.", u"ai-discovery.json"},
    {u"/ai-discovery.md",
     u"Upload the human-readable version of your AI policy as /ai-discovery.md.",
     u"ai-discovery.md"},
    {u"/knowledge-graph.json",
     u"Describe your organisation and products as schema.org JSON-LD in /knowledge-graph.json.",
     u"knowledge-graph.json"},
    {u"/ai-sitemap.xml", u"List the pages AI crawlers should read first in /ai-sitemap.xml.",
     u"ai-sitemap.xml"},
    {u"/sitemap.xml",
     u"Publish a sitemap of every page as /sitemap.xml, unless your CMS already makes one.",
     u"sitemap.xml"},
    {u"/.well-known/tdmrep.json",
     u"Declare your text-and-data-mining policy in /.well-known/tdmrep.json.", u"tdmrep.json"},
    {u"/robots.txt", u"Publish a robots.txt that says which AI crawlers may read the site.",
     u"robots.txt.NEW"},
}};

// Empty for a check that is fine or whose path is unknown.
Text AdviceFor(const DiscoveryCheck& check) {
    if (check.state == CheckState::Ok) {
        return Text();
    }
    for (const CheckAdvice& advice : kCheckAdvice) {
        if (check.path != advice.path) {
            continue;
        }
        const Text fix = Text(u" The package's ") + advice.fileName + u" fixes this.";
        const bool robots = check.path == u"/robots.txt";
        if (robots && check.state == CheckState::Blocking) {
            return u"robots.txt blocks every crawler and names no AI crawler: add groups that "
                   u"say which AI crawlers may read the site." +
                   fix;
        }
        if (robots && check.state == CheckState::NeedsUpdate) {
            return u"robots.txt names no AI crawler: add groups that state your AI permissions "
                   u"crawler by crawler." +
                   fix;
        }
        if (check.state == CheckState::NeedsUpdate) {
            return u"Replace " + check.path + u": it is there but does not read as a valid " +
                   advice.fileName + u"." + fix;
        }
        return advice.missing + fix;
    }
    return Text();
}

const char16_t* StateClass(CheckState state) {
    switch (state) {
        case CheckState::Ok:
            return u"good";
        case CheckState::NeedsUpdate:
            return u"fair";
        default:
            return u"poor";
    }
}

const char16_t* BandClass(int score) {
    static const char16_t* const kClasses[] = {u"good", u"fair", u"poor"};
    return kClasses[static_cast<int>(ScoreBandOf(score))];
}

const char16_t* AccessClass(CrawlerAccessLevel access) {
    switch (access) {
        case CrawlerAccessLevel::Allowed:
            return u"good";
        case CrawlerAccessLevel::Partly:
            return u"fair";
        default:
            return u"poor";
    }
}

Text FixedNumber(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return AsciiToText(buffer);
}

// "2026-12-08T00:15:44Z" as "2026-12-08 00:15:44 UTC"; any other form is shown as it is.
Text ReadableUtcTime(const Text& stamp) {
    if (stamp.size() != 20 || stamp[10] != u'T' || stamp[19] != u'Z') {
        return stamp;
    }
    return stamp.substr(0, 10) + u" " + stamp.substr(11, 8) + u" UTC";
}

// robots.txt read (its crawler groups), or pages whose markup was read for declarations.
bool HasUsageSection(const ScanResult& scan) {
    return !scan.crawlerAccess.empty() || scan.usage.pagesRead > 0;
}

// Sitemaps read, or a server that asked the crawl to slow down.
bool HasSitemapSection(const ScanResult& scan) {
    return scan.sitemaps.read || !PolitenessLine(scan.politeness).empty();
}

// Builds the file; every method appends to out.
class ReportWriter {
  public:
    explicit ReportWriter(size_t pageCount) { out_.reserve(16384 + pageCount * 700); }

    Text Take() { return std::move(out_); }

    // Pieces are appended one by one: no temporary strings for a row.
    template <typename... Pieces>
    void Raw(const Pieces&... pieces) {
        ((out_ += pieces), ...);
    }
    void Esc(const Text& text) { AppendEscaped(out_, text); }

    // An address as a link when it is a web address, else as plain text.
    void Address(const Text& address) {
        if (!IsWebAddress(address)) {
            Esc(address);
            return;
        }
        Raw(u"<a href=\"");
        Esc(UriEscape(address));
        Raw(u"\">");
        Esc(address);
        Raw(u"</a>");
    }

    // A section holding one table, up to the start of its body. Headings marked with a
    // leading "#" hold numbers and align right.
    void OpenTableSection(const char16_t* id, const char16_t* title,
                          std::initializer_list<const char16_t*> headings) {
        Raw(u"<section id=\"", id, u"\">\n<h2>", title, u"</h2>\n<table>\n<thead><tr>");
        for (const char16_t* heading : headings) {
            const bool number = heading[0] == u'#';
            Raw(number ? u"<th class=\"n\">" : u"<th>", number ? heading + 1 : heading, u"</th>");
        }
        Raw(u"</tr></thead>\n<tbody>\n");
    }

    void CloseTableSection() { Raw(u"</tbody>\n</table>\n</section>\n"); }

    void Fact(const char16_t* name, const Text& value) {
        Raw(u"<dt>");
        Raw(name);
        Raw(u"</dt><dd>");
        Esc(value);
        Raw(u"</dd>\n");
    }

    void Head(const ScanResult& scan) {
        Raw(u"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            u"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            u"<meta name=\"color-scheme\" content=\"light dark\">\n"
            // Nothing may be fetched: no fonts, images, frames or connections, only the
            // inline style and script of this file.
            u"<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
            u"style-src 'unsafe-inline'; script-src 'unsafe-inline'; "
            u"base-uri 'none'; form-action 'none'\">\n"
            u"<title>AI readiness report: ");
        Esc(scan.host.empty() ? Text(u"no site") : scan.host);
        Raw(u"</title>\n<style>\n");
        Raw(StyleSheet());
        Raw(u"</style>\n</head>\n<body>\n<main>\n");
    }

    void Title(const ScanResult& scan, bool withPackage) {
        Raw(u"<header class=\"top\"><h1>AI readiness report: ");
        Esc(scan.host.empty() ? Text(u"no site") : scan.host);
        Raw(u"</h1><span class=\"dim\">");
        Raw(kProductName);
        Raw(u" ");
        Raw(kProductVersion);
        Raw(u"</span></header>\n");
        Raw(u"<nav><a href=\"#checks\">Discovery checks</a>");
        if (HasUsageSection(scan)) {
            Raw(u"<a href=\"#usage\">Usage signals</a>");
        }
        if (!scan.crawlerAccess.empty()) {
            Raw(u"<a href=\"#crawlers\">AI crawlers</a>");
        }
        Raw(AgentsReportMenuLinks(scan));
        Raw(u"<a href=\"#classes\">Page classes</a><a href=\"#topics\">Topics</a>"
            u"<a href=\"#pages\">Pages</a>");
        if (!LeftOutSummary(scan.pages).empty()) {
            Raw(u"<a href=\"#left-out\">Left out</a>");
        }
        if (!scan.skippedPages.empty()) {
            Raw(u"<a href=\"#skipped\">Pages not stored</a>");
        }
        if (HasSitemapSection(scan)) {
            Raw(u"<a href=\"#sitemaps\">Sitemaps</a>");
        }
        if (withPackage) {
            Raw(u"<a href=\"#package\">Package</a>");
        }
        Raw(u"</nav>\n");
    }

    void Overview(const ScanResult& scan, const ScanOptions& options, const Text& madeAt) {
        Raw(u"<section id=\"overview\" class=\"overview\">\n");
        if (scan.reachable) {
            Gauge(scan.score);
        } else {
            Unreachable(scan, options);
        }
        Raw(u"<dl class=\"facts\">\n<dt>Site</dt><dd>");
        Address(scan.baseUrl);
        Raw(u"</dd>\n");
        const Text requested = scan.requestedUrl.empty() ? options.startUrl : scan.requestedUrl;
        Raw(u"<dt>Start address</dt><dd>");
        Address(requested);
        Raw(u"</dd>\n");
        if (!scan.finalUrl.empty() && scan.finalUrl != requested) {
            Raw(u"<dt>Found at</dt><dd>");
            Address(scan.finalUrl);
            Raw(u"</dd>\n");
        }
        if (!scan.scanTime.empty()) {
            Fact(u"Scanned", ReadableUtcTime(scan.scanTime));
        }
        Fact(u"Report written", madeAt);
        Fact(u"Pages found", NumberText(static_cast<long long>(scan.pages.size())));
        if (!scan.skippedPages.empty()) {
            Fact(u"Pages not stored", NumberText(static_cast<long long>(scan.skippedPages.size())));
        }
        const int seconds = std::max(scan.elapsedSeconds, 0);
        Fact(u"Scan time", NumberText(seconds / 60) + u" min " + NumberText(seconds % 60) + u" s");
        Text settings =
            u"depth " + NumberText(options.maxDepth) + u", pause " + NumberText(options.delayMs) +
            u" ms, page limit " +
            (options.maxPages >= kNoPageLimit ? Text(u"none") : NumberText(options.maxPages)) +
            u", " + NumberText(options.connections) +
            (options.connections == 1 ? u" connection" : u" connections") + u", robots.txt " +
            (options.respectRobots ? u"respected" : u"ignored");
        Fact(u"Scan options", settings);
        Fact(u"User-Agent", options.userAgent);
        if (scan.pageLimitReached) {
            Fact(u"Note", u"The page limit was reached: the site may have more pages.");
        }
        if (scan.cancelled) {
            Fact(u"Note", u"The scan was cancelled: this is a partial result.");
        }
        Raw(u"</dl>\n</section>\n");
    }

    // A site that never answered has no score; the reason takes the gauge's place.
    void Unreachable(const ScanResult& scan, const ScanOptions& options) {
        Raw(u"<div><p><span class=\"badge poor\">Not reached</span></p><p>");
        Esc(UnreachableMessage(scan.requestedUrl.empty() ? options.startUrl : scan.requestedUrl,
                               scan.unreachableReason));
        Raw(u"</p></div>\n");
    }

    void Gauge(int score) {
        const int shown = std::clamp(score, 0, 100);
        constexpr double kRadius = 66.0;
        constexpr double kCircumference = 2.0 * 3.14159265358979 * kRadius;
        const Text band = ScoreBandWord(shown);
        Raw(u"<div><svg class=\"gauge\" viewBox=\"0 0 160 160\" width=\"160\" height=\"160\" "
            u"role=\"img\" aria-label=\"Readiness score ",
            NumberText(shown), u" of 100: ", band,
            u"\">"
            u"<circle class=\"ring\" cx=\"80\" cy=\"80\" r=\"66\" stroke-width=\"14\"/>");
        if (shown > 0) {
            // Clockwise from the top, as on the window's gauge.
            Raw(u"<circle class=\"arc\" cx=\"80\" cy=\"80\" r=\"66\" stroke-width=\"14\" "
                u"stroke=\"",
                CssColor(ScoreColor(shown)), u"\" stroke-dasharray=\"",
                FixedNumber(kCircumference * shown / 100.0), u" ", FixedNumber(kCircumference),
                u"\" transform=\"rotate(-90 80 80)\"/>");
        }
        Raw(u"<text class=\"number\" x=\"80\" y=\"90\" text-anchor=\"middle\">",
            NumberText(shown),
            u"</text><text class=\"unit\" x=\"80\" y=\"112\" text-anchor=\"middle\">of 100"
            u"</text></svg>"
            u"<p><span class=\"badge band ",
            BandClass(shown), u"\">", band, u"</span></p></div>\n");
    }

    void Checks(const ScanResult& scan) {
        if (scan.checks.empty()) {
            Raw(u"<section id=\"checks\">\n<h2>Discovery checks</h2>\n<p class=\"dim\">The "
                u"discovery checks did not run: the scan was cancelled before them.</p>\n"
                u"</section>\n");
            return;
        }
        OpenTableSection(u"checks", u"Discovery checks",
                         {u"File", u"Path", u"Status", u"Details", u"Scored", u"What to do"});
        for (const DiscoveryCheck& check : scan.checks) {
            Raw(u"<tr><td class=\"k\">");
            Esc(check.label);
            Raw(u"</td><td class=\"k\"><code>");
            Esc(check.path);
            Raw(u"</code></td><td><span class=\"badge ");
            Raw(StateClass(check.state));
            Raw(u"\">");
            Esc(CheckStateSymbol(check.state));
            Raw(u"</span></td><td>");
            Esc(check.details);
            Raw(check.scored ? u"</td><td>Yes</td><td>" : u"</td><td>No</td><td>");
            Esc(AdviceFor(check));
            Raw(u"</td></tr>\n");
        }
        CloseTableSection();
    }

    // What the site declares about the use of its content, above the crawlers it concerns.
    void UsagePreferences(const ScanResult& scan) {
        if (!HasUsageSection(scan)) {
            return;
        }
        OpenTableSection(u"usage", u"Declared usage preferences",
                         {u"Purpose", u"Declared", u"Where", u"Conflict"});
        for (std::size_t index = 0; index < scan.usage.purposes.size(); ++index) {
            const UsagePurposeFindings& purpose = scan.usage.purposes[index];
            Raw(u"<tr><td>");
            Esc(CrawlerPurposeName(static_cast<CrawlerPurpose>(index)));
            Raw(u"</td><td>");
            Esc(UsageAnswerName(purpose.answer));
            Raw(u"</td><td>");
            if (purpose.declarations.empty()) {
                Raw(u"<span class=\"dim\">nothing declared</span>");
            }
            for (std::size_t i = 0; i < purpose.declarations.size(); ++i) {
                Raw(i == 0 ? u"" : u"<br>");
                Esc(UsageDeclarationText(purpose.declarations[i], scan.usage.pagesRead));
            }
            Raw(u"</td><td>");
            Esc(UsageConflictText(purpose));
            Raw(u"</td></tr>\n");
        }
        CloseTableSection();
    }

    void Crawlers(const ScanResult& scan) {
        if (scan.crawlerAccess.empty()) {
            return;
        }
        OpenTableSection(u"crawlers", u"AI crawler access",
                         {u"Crawler", u"Operator", u"Purpose", u"Access", u"Deciding rule"});
        for (const CrawlerAccess& crawler : scan.crawlerAccess) {
            Raw(u"<tr><td><code>");
            Esc(crawler.token);
            Raw(u"</code></td><td>");
            Esc(crawler.operatorName);
            Raw(u"</td><td>");
            Esc(CrawlerPurposeName(crawler.purpose));
            Raw(u"</td><td><span class=\"badge ");
            Raw(AccessClass(crawler.access));
            Raw(u"\">");
            Esc(CrawlerAccessLevelName(crawler.access));
            Raw(u"</span></td><td>");
            if (crawler.decidingRule.empty()) {
                Raw(u"<span class=\"dim\">", kNoDecidingRuleText, u"</span>");
            } else {
                Raw(u"<code>");
                Esc(crawler.decidingRule);
                Raw(u"</code>");
            }
            Raw(u"</td></tr>\n");
        }
        CloseTableSection();
    }

    void Classes(const ScanResult& scan) {
        const auto rows = PageClassCountRows(scan.pages);
        int largest = 1;
        for (const ClassCountRow& row : rows) {
            largest = std::max(largest, row.count);
        }
        constexpr int kRowHeight = 34;
        constexpr int kBarLeft = 130;
        constexpr int kBarWidth = 400;
        const int height = kRowHeight * static_cast<int>(rows.size());
        Raw(u"<section id=\"classes\">\n<h2>Pages per class</h2>\n<svg class=\"bars\" "
            u"viewBox=\"0 0 620 ",
            NumberText(height), u"\" role=\"img\" aria-label=\"Pages per class:");
        for (size_t index = 0; index < rows.size(); ++index) {
            Raw(index == 0 ? u" " : u", ", rows[index].label, u" ",
                NumberText(rows[index].count));
        }
        Raw(u"\">");
        for (size_t index = 0; index < rows.size(); ++index) {
            const int top = static_cast<int>(index) * kRowHeight;
            const int width =
                rows[index].count == 0 ? 0 : std::max(2, rows[index].count * kBarWidth / largest);
            Raw(u"<text x=\"0\" y=\"", NumberText(top + 21), u"\">", rows[index].label,
                u"</text><rect class=\"track\" x=\"", NumberText(kBarLeft), u"\" y=\"",
                NumberText(top + 6), u"\" width=\"", NumberText(kBarWidth),
                u"\" height=\"20\" rx=\"3\"/><rect class=\"bar\" x=\"", NumberText(kBarLeft),
                u"\" y=\"", NumberText(top + 6), u"\" width=\"", NumberText(width),
                u"\" height=\"20\" rx=\"3\"/><text x=\"", NumberText(kBarLeft + kBarWidth + 12),
                u"\" y=\"", NumberText(top + 21), u"\">", NumberText(rows[index].count),
                u"</text>");
        }
        Raw(u"</svg>\n</section>\n");
    }

    void Topics(const ScanResult& scan) {
        Raw(u"<section id=\"topics\">\n<h2>Topics</h2>\n");
        bool any = false;
        for (const Text& topic : scan.topics) {
            if (topic.empty()) {
                continue;
            }
            Raw(any ? u"<li>" : u"<ul class=\"chips\"><li>");
            Esc(topic);
            Raw(u"</li>");
            any = true;
        }
        Raw(any ? u"</ul>\n</section>\n" : u"<p class=\"dim\">No topics found.</p>\n</section>\n");
    }

    void Pages(const ScanResult& scan) {
        static constexpr std::array<const char16_t*, 8> kColumns = {
            u"Address",      u"Title",  u"Class",    u"Words", u"Main words",
            u"Schema types", u"Status", u"Indexable"};
        const auto isNumberColumn = [](size_t column) {
            return column == 3 || column == 4 || column == 6;
        };
        Raw(u"<section id=\"pages\">\n<h2>Pages found</h2>\n");
        if (scan.pages.empty()) {
            Raw(u"<p class=\"dim\">No page could be analysed.</p>\n</section>\n");
            return;
        }
        // With scripts the rows come from the data block below, sortable and filterable;
        // without them the <noscript> table lists every page.
        Raw(u"<div id=\"pages-live\" hidden>\n<div class=\"controls\"><input type=\"search\" "
            u"id=\"page-filter\" placeholder=\"Filter pages\" aria-label=\"Filter pages\">"
            u"<span id=\"page-count\" class=\"dim\"></span></div>\n<table>\n<thead><tr>");
        for (size_t column = 0; column < kColumns.size(); ++column) {
            const bool number = isNumberColumn(column);
            Raw(u"<th", number ? u" class=\"n\"" : u"", u" data-column=\"",
                NumberText(static_cast<long long>(column)),
                u"\" aria-sort=\"none\"><button type=\"button\">", kColumns[column],
                u"</button></th>");
        }
        Raw(u"</tr></thead>\n<tbody id=\"page-rows\"></tbody>\n</table>\n<p class=\"more\">"
            u"<button type=\"button\" id=\"page-more\">Show ",
            NumberText(kRowsPerStep),
            u" more</button><button type=\"button\" id=\"page-all\">Show all</button></p>\n"
            u"</div>\n<noscript>\n");
        // Without scripts a browser would lay out every row before showing the page (a
        // minute for 100,000 pages); tables of kRowsPerStep rows with fixed columns, each
        // skipped until it scrolls into view, show the first rows at once.
        for (size_t index = 0; index < scan.pages.size(); ++index) {
            if (index % kRowsPerStep == 0) {
                if (index > 0) {
                    Raw(u"</tbody>\n</table>\n</div>\n");
                }
                Raw(u"<div class=\"static\">\n<table>\n<thead><tr>");
                for (size_t column = 0; column < kColumns.size(); ++column) {
                    Raw(isNumberColumn(column) ? u"<th class=\"n\">" : u"<th>",
                        kColumns[column], u"</th>");
                }
                Raw(u"</tr></thead>\n<tbody>\n");
            }
            const PageRecord& page = scan.pages[index];
            Raw(u"<tr><td class=\"a\">");
            Address(page.url);
            Raw(u"</td><td>");
            Esc(page.title);
            Raw(u"</td><td class=\"c\">");
            Raw(PageClassName(page.pageClass));
            Raw(u"</td><td class=\"n\">");
            Raw(NumberText(page.wordCount));
            Raw(u"</td><td class=\"n\">");
            Raw(NumberText(page.mainWordCount));
            Raw(u"</td><td>");
            Esc(JoinTexts(page.schemaTypes, u", "));
            Raw(u"</td><td class=\"n\">");
            Raw(NumberText(page.httpStatus));
            Raw(u"</td><td>");
            Esc(IndexableLabel(page, scan.baseUrl));
            Raw(u"</td></tr>\n");
        }
        Raw(u"</tbody>\n</table>\n</div>\n</noscript>\n"
            u"<script type=\"application/json\" id=\"page-data\">[");
        for (size_t index = 0; index < scan.pages.size(); ++index) {
            const PageRecord& page = scan.pages[index];
            Raw(index == 0 ? u"\n[" : u",\n[");
            AppendJsonString(out_, page.url);
            Raw(u",");
            AppendJsonString(out_, page.title);
            Raw(u",\"", PageClassName(page.pageClass), u"\",", NumberText(page.wordCount),
                u",", NumberText(page.mainWordCount), u",");
            AppendJsonString(out_, JoinTexts(page.schemaTypes, u", "));
            Raw(u",", NumberText(page.httpStatus), u",");
            AppendJsonString(out_, IndexableLabel(page, scan.baseUrl));
            Raw(u"]");
        }
        Raw(u"\n]</script>\n</section>\n");
    }

    // Every page the package's lists leave out, with what the page said.
    void LeftOut(const ScanResult& scan) {
        const Text summary = LeftOutSummary(scan.pages);
        if (summary.empty()) {
            return;
        }
        OpenTableSection(u"left-out", u"Left out of the package", {u"Address", u"Why"});
        for (const PageRecord& page : scan.pages) {
            const Text label = IndexableLabel(page, scan.baseUrl);
            if (label == u"Yes") {
                continue;
            }
            Raw(u"<tr><td class=\"a\">");
            Address(page.url);
            Raw(u"</td><td>");
            Esc(label);
            Raw(u"</td></tr>\n");
        }
        Raw(u"</tbody>\n</table>\n<p class=\"dim\">");
        Esc(summary);
        Raw(u". Search files leave out all but \"noai\" pages; the AI files leave out all of "
            u"them.</p>\n</section>\n");
    }

    void Skipped(const ScanResult& scan) {
        if (scan.skippedPages.empty()) {
            return;
        }
        OpenTableSection(u"skipped", u"Pages not stored",
                         {u"Address", u"#Depth", u"#Status", u"Reason", u"Linked from"});
        for (const SkippedPage& page : scan.skippedPages) {
            Raw(u"<tr><td class=\"a\">");
            Address(page.url);
            Raw(u"</td><td class=\"n\">", NumberText(page.depth), u"</td><td class=\"n\">",
                (page.httpStatus == 0 ? Text(u"none") : NumberText(page.httpStatus)),
                u"</td><td>");
            Esc(page.reason);
            Raw(u"</td><td class=\"a\">");
            if (!page.linkedFrom.empty()) {
                Address(page.linkedFrom);
            }
            Raw(u"</td></tr>\n");
        }
        CloseTableSection();
    }

    // The sitemap audit: its summary and the server's pace above one row per finding.
    void Sitemaps(const ScanResult& scan) {
        if (!HasSitemapSection(scan)) {
            return;
        }
        OpenTableSection(u"sitemaps", u"Sitemaps", {u"Finding", u"Address", u"Detail"});
        for (const SitemapFindingRow& row : SitemapListRows(scan)) {
            Raw(u"<tr><td>");
            Esc(row.finding);
            Raw(u"</td><td class=\"a\">");
            Address(row.url);
            Raw(u"</td><td>");
            IsWebAddress(row.detail) ? Address(row.detail) : Esc(row.detail);
            Raw(u"</td></tr>\n");
        }
        CloseTableSection();
    }

    void Package(const ReportPackage* package) {
        if (package == nullptr) {
            return;
        }
        const PackageOutcome& outcome = package->outcome;
        const PackageForm& form = package->form;
        Raw(u"<section id=\"package\">\n<h2>AI Discovery Package</h2>\n");
        if (!outcome.ok) {
            Raw(u"<p><span class=\"badge poor\">Error</span> ");
            Esc(outcome.errorText.empty() ? Text(u"The package was not written.")
                                          : outcome.errorText);
            Raw(u"</p>\n");
        }
        // The report is handed on; where the owner keeps things on their own disk is theirs.
        const auto lastPart = [](const Text& path) {
            return path.substr(path.find_last_of(u"/\\") + 1);
        };
        Raw(u"<dl class=\"facts\">\n");
        if (!outcome.folderPath.empty()) {
            Fact(u"Folder", lastPart(outcome.folderPath));
        }
        if (!outcome.zipPath.empty()) {
            Fact(u"Archive", lastPart(outcome.zipPath));
        }
        Fact(u"Name", form.name);
        const auto permission = [](bool allowed) {
            return allowed ? Text(u"allowed") : Text(u"not allowed");
        };
        Fact(u"AI training", permission(form.allowTraining));
        Fact(u"AI citation", permission(form.allowCitation));
        Fact(u"AI summarisation", permission(form.allowSummarisation));
        Fact(u"robots.txt AI rules",
             form.addRobotsRules ? Text(u"written into robots.txt.NEW") : Text(u"not written"));
        Raw(u"</dl>\n");
        if (!outcome.filePaths.empty()) {
            Raw(u"<h3>Files</h3>\n<ul>");
            for (const Text& path : outcome.filePaths) {
                Raw(u"<li><code>");
                Esc(lastPart(path));
                Raw(u"</code></li>");
            }
            Raw(u"</ul>\n");
        }
        Raw(u"</section>\n");
    }

    void End(bool withScript) {
        Raw(u"<footer>Made with ");
        Raw(kProductName);
        Raw(u" ");
        Raw(kProductVersion);
        Raw(u"</footer>\n</main>\n");
        if (withScript) {
            Raw(u"<script>\n", PageTableScript(), u"</script>\n");
        }
        Raw(u"</body>\n</html>\n");
    }

  private:
    Text out_;
};

}  // namespace

Text HtmlEscape(const Text& text) {
    Text out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

bool IsWebAddress(const Text& address) {
    const Text start = ToLower(address.substr(0, 8));
    return start.rfind(u"http://", 0) == 0 || start.rfind(u"https://", 0) == 0;
}

Text ReportFileName(const Text& host) {
    return SiteFolderName(host) + u"-report.html";
}

Text ReportTimeStamp() {
    const LocalTime now = NowLocal();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute);
    return AsciiToText(buffer);
}

Text MakeHtmlReport(const ScanResult& scan, const ScanOptions& options,
                    const ReportPackage* package, const Text& madeAt) {
    ReportWriter writer(scan.pages.size());
    writer.Head(scan);
    writer.Title(scan, package != nullptr);
    writer.Overview(scan, options, madeAt);
    writer.Checks(scan);
    writer.UsagePreferences(scan);
    writer.Crawlers(scan);
    writer.Raw(AgentsReportSections(scan));
    writer.Classes(scan);
    writer.Topics(scan);
    writer.Pages(scan);
    writer.LeftOut(scan);
    writer.Skipped(scan);
    writer.Sitemaps(scan);
    writer.Package(package);
    writer.End(!scan.pages.empty());
    return writer.Take();
}

}  // namespace bcnk
