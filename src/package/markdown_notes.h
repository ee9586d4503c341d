#pragma once
// What README.txt and upload-map.txt say of llms-full.txt and the Markdown twins: where they
// go, and the line a site adds so that AI readers find each page's twin.
#include <vector>

#include "common/text.h"
#include "package/markdown_twins.h"

namespace bcnk {

// `llmsTxtLinksThem`: the package's own llms.txt links to the twins.
void AddMarkdownToReadme(Text& readme, const std::vector<MarkdownTwin>& twins, bool withFull,
                         bool llmsTxtLinksThem);
void AddMarkdownToUploadMap(Text& map, const std::vector<MarkdownTwin>& twins, bool withFull);

}  // namespace bcnk
