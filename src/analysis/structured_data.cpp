#include "analysis/structured_data.h"

#include <unordered_set>

namespace bcnk {

namespace {

constexpr TextView kScriptEnd = u"</script>";
constexpr TextView kTypeKey = u"\"@type\"";
constexpr TextView kNameKey = u"\"name\"";
constexpr TextView kOrganizationWord = u"\"organization\"";
constexpr TextView kPersonWord = u"\"person\"";
constexpr TextView kSoftwareWord = u"\"softwareapplication\"";
constexpr TextView kProductWord = u"\"product\"";
constexpr TextView kServiceWord = u"\"service\"";

// A block of JSON-LD with its folded copy, so that every search is made in the folded text
// and every value is cut from the block as written.
struct Block {
    TextView text;
    Text folded;

    size_t Find(TextView foldedMarker, size_t from = 0) const {
        return from > folded.size() ? kNotFound : folded.find(foldedMarker, from);
    }
    bool Contains(TextView foldedMarker) const { return Find(foldedMarker) != kNotFound; }

    // The text between the first two quotation marks after the first ":" at or after
    // `key`. A backslash does not escape the quotation mark that ends a value.
    bool QuotedValue(size_t key, Text& value) const {
        const size_t colon = Find(u":", key);
        return colon != kNotFound && QuotedValueBehindColon(colon, value);
    }

    bool QuotedValueBehindColon(size_t colon, Text& value) const {
        const size_t open = FindUnit(text, u'"', colon + 1);
        if (open == kNotFound)
            return false;
        const size_t close = FindUnit(text, u'"', open + 1);
        if (close == kNotFound)
            return false;
        value = Text(text.substr(open + 1, close - open - 1));
        return true;
    }

    // Trimmed and decoded value behind the first name key at or after `from`.
    Text NameAfter(size_t from) const {
        const size_t key = Find(kNameKey, from);
        Text value;
        if (key == kNotFound || !QuotedValue(key, value))
            return Text();
        return DecodeEntities(Trim(value));
    }
};

void ReadTypes(const Block& block, std::vector<Text>& types, std::unordered_set<Text>& seen) {
    size_t from = 0;
    for (;;) {
        const size_t key = block.Find(kTypeKey, from);
        if (key == kNotFound)
            return;
        const size_t colon = block.Find(u":", key);
        if (colon == kNotFound)
            return;
        Text value;
        if (block.QuotedValueBehindColon(colon, value)) {
            value = Trim(value);
            if (!value.empty() && seen.insert(value).second) {
                types.push_back(std::move(value));
            }
        }
        from = colon + 1;
    }
}

void ReadNames(const Block& block, ParsedPage& parsed) {
    const bool organization = block.Contains(kOrganizationWord);
    // The first name in the block, which in a WebSite published by an Organization may be
    // the site's own name: the block says no more than that.
    if (parsed.organizationName.empty() && organization) {
        parsed.organizationName = block.NameAfter(0);
    }
    if (parsed.personName.empty() && !organization) {
        const size_t person = block.Find(kPersonWord);
        if (person != kNotFound) {
            parsed.personName = block.NameAfter(person);
        }
    }
    if (parsed.productName.empty()) {
        size_t anchor = block.Find(kSoftwareWord);
        if (anchor == kNotFound) {
            anchor = block.Find(kProductWord);
        }
        if (anchor == kNotFound) {
            anchor = block.Find(kServiceWord);
        }
        if (anchor != kNotFound) {
            parsed.productName = block.NameAfter(anchor);
        }
    }
}

}  // namespace

void DetectStructuredData(TextView page, const MarkupIndex& index, ParsedPage& parsed) {
    std::unordered_set<Text> seen(parsed.schemaTypes.begin(), parsed.schemaTypes.end());
    size_t from = 0;
    for (;;) {
        // The marker need not stand in a script tag; wherever it is, the text from the next
        // ">" to the next "</script>" is read as a block.
        const size_t marker = FindJsonLdMarker(page, index, from);
        if (marker == kNotFound)
            return;
        const size_t open = FindUnit(page, u'>', marker + kJsonLdMarker.size());
        if (open == kNotFound)
            return;
        const size_t close = FindTagMarker(page, index, kScriptEnd, open + 1);
        if (close == kNotFound)
            return;
        Block block;
        block.text = page.substr(open + 1, close - open - 1);
        block.folded = ToLower(Text(block.text));
        ReadTypes(block, parsed.schemaTypes, seen);
        ReadNames(block, parsed);
        from = close + kScriptEnd.size();
    }
}

void DetectStructuredData(const Text& page, ParsedPage& parsed) {
    DetectStructuredData(page, IndexMarkup(page), parsed);
}

}  // namespace bcnk
