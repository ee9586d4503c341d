#pragma once
// Turns the body of one fetched page into the facts the crawl, the classifier, the topic
// extraction and the package generators use. This is a text scanner, not a document parser:
// it searches for fixed markers case-insensitively (ASCII letters only) and cuts values out
// of the page at the positions found. It builds no tree, validates nothing and never fails;
// missing markup gives empty fields.
#include <string>
#include <vector>

#include "analysis/page_kind.h"
#include "analysis/page_signals.h"
#include "common/text.h"

namespace bcnk {

struct ParsedPage {
    Text title;
    Text description;
    Text h1;
    Text language;
    Text organizationName;
    Text personName;
    Text productName;
    // Non-empty texts of all h1 elements in page order, then those of all h2 elements.
    std::vector<Text> headings;
    // Distinct JSON-LD "@type" values in order of first appearance.
    std::vector<Text> schemaTypes;
    // Anchor href values as written: trimmed, not resolved, not entity-decoded.
    std::vector<Text> links;
    // href of the first <base> element that has one, written the same way; links resolve
    // against it.
    Text baseHref;
    int wordCount = 0;
    // Robots metas, canonical link and text fingerprint, for judging whether to list the page.
    PageSignals signals;
    // Where a <meta http-equiv="refresh"> without delay moves the reader, decoded but not
    // resolved; empty when the page has none.
    Text refreshTarget;
    // What the markup shows of the page's kind (documentation layout, shop, article marks).
    PageKindMarks kindMarks;
    // The first sentence of the first paragraph of substance; empty when there is none.
    Text leadSentence;
    // The language the text reads in, by its script and common words; empty when unsure.
    // `language` is what the page declares (empty when it declares none).
    Text textLanguage;
    // The TDMRep meta tags' contents (<meta name="tdm-reservation" content="1">), as written.
    Text tdmReservation;
    Text tdmPolicy;

    bool operator==(const ParsedPage&) const = default;
};

// `body` is decoded as UTF-8 whatever the page declares; invalid bytes become U+FFFD.
ParsedPage ParseHtmlPage(const std::string& body);

// `body` is decoded in the encoding the page declares, by its byte-order mark, the charset
// in `contentType` (the response's Content-Type header) or its <meta> (DecodePageText).
ParsedPage ParseHtmlPage(const std::string& body, const Text& contentType);

// The first sentence of the first paragraph long enough to say something, cut at a word
// boundary when it runs on; empty when no paragraph is.
Text LeadSentence(const std::vector<Text>& paragraphs);

// `tag` is one start tag from its "<" to its ">". Returns the attribute's value, trimmed and
// not entity-decoded, or an empty text.
Text GetAttribute(const Text& tag, const Text& name);

// HtmlToText of the content of the first `tagName` element, or an empty text when its start
// tag or its closing tag is missing.
Text ElementText(const Text& page, const Text& tagName);

// Readable text of a fragment: tags removed, references decoded, white space collapsed to
// single spaces, trimmed.
Text HtmlToText(const Text& fragment);

// Replaces decimal, hexadecimal and the common named character references in one pass.
// Anything that is not a complete known reference is copied unchanged.
Text DecodeEntities(const Text& text);

}  // namespace bcnk
