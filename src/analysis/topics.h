#pragma once
// The site's main topics: two- and three-word phrases that recur in the headings of its
// pages, counted once per heading, filtered by fixed word lists and boilerplate phrases,
// ranked by frequency and reduced so that no chosen topic is part of another.
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// At most maxTopics phrases, most frequent first (a longer phrase that replaces a chosen
// shorter one stands at the end). Only phrases found in at least two headings qualify.
std::vector<Text> ExtractTopics(const std::vector<PageRecord>& pages, int maxTopics);

// The heading's words, folded to lower case (ASCII only); every unit that is not a letter or
// digit separates words.
std::vector<Text> TokenizeHeading(const Text& heading);

// The phrase for words[first, end) after trimming stop words and names from its edges, or an
// empty text when fewer than two or more than three words remain, a name remains, only stop
// words remain, or the phrase is boilerplate.
Text MakePhrase(const std::vector<Text>& words, size_t first, size_t end);

// A listed stop word, or any word shorter than three units.
bool IsStopWord(const Text& word);

// The maker's own names, which never make a topic.
bool IsNameWord(const Text& word);

// True when the phrase contains, or is contained in, a listed boilerplate heading phrase,
// word boundaries respected.
bool IsBoilerplatePhrase(const Text& phrase);

}  // namespace bcnk
