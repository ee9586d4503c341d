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
    return record;
}

}  // namespace bcnk
