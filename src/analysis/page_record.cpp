#include "analysis/page_record.h"

namespace bcnk {

PageRecord PageRecordOf(const Text& url, const ParsedPage& parsed) {
    PageRecord record;
    record.url = url;
    record.title = parsed.title;
    record.description = parsed.description;
    record.h1 = parsed.h1;
    record.headings = parsed.headings;
    record.schemaTypes = parsed.schemaTypes;
    record.productName = parsed.productName;
    record.wordCount = parsed.wordCount;
    record.linkCount = static_cast<int>(parsed.links.size());
    record.documentationMarks = parsed.kindMarks.documentationMarks;
    record.documentationTool = parsed.kindMarks.generatorIsDocumentationTool;
    record.priceMarks = parsed.kindMarks.priceMarks;
    record.addToCart = parsed.kindMarks.addToCart;
    record.articleMeta = parsed.kindMarks.articleMeta;
    record.itemBlocks = parsed.kindMarks.itemBlocks;
    record.productMeta = parsed.kindMarks.productMeta;
    record.productGroupMeta = parsed.kindMarks.productGroupMeta;
    record.productItems = parsed.kindMarks.productItems;
    record.leadSentence = parsed.leadSentence;
    record.language = parsed.language.empty() ? parsed.textLanguage : parsed.language;
    return record;
}

}  // namespace bcnk
