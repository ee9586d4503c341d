#include "analysis/topics.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "analysis/language.h"
#include "analysis/word_chars.h"

namespace bcnk {

namespace {

using WordSet = std::unordered_set<std::u16string_view>;

// Words shorter than this are never part of a phrase.
constexpr size_t kMinWordLength = 3;

// The first 28 also count as stop words; the last four only break runs.
constexpr std::u16string_view kRunBreakers[] = {
    u"the",  u"and", u"for", u"with", u"your",  u"you",  u"our",  u"how",
    u"what", u"why", u"are", u"this", u"that",  u"from", u"into", u"a",
    u"to",   u"of",  u"in",  u"on",   u"is",    u"it",   u"or",   u"an",
    u"be",   u"as",  u"at",  u"by",   u"where", u"when", u"who",  u"which",
};
constexpr size_t kBreakersThatAreStopWords = 28;

constexpr std::u16string_view kMoreStopWords[] = {
    u"talvenn",  u"talvenns", u"vaskel", u"free",     u"site",      u"sites",   u"page",
    u"pages",    u"tool",     u"tools",  u"download", u"downloads", u"install", u"windows",
    u"click",    u"here",     u"more",   u"get",      u"new",       u"home",    u"app",
    u"apps",     u"view",     u"read",   u"learn",    u"start",     u"try",     u"use",
    u"using",    u"actually", u"step",   u"steps",    u"really",    u"just",    u"also",
    u"can",      u"will",     u"now",    u"all",      u"any",       u"one",     u"two",
    u"feedback", u"best",     u"built",  u"getting",  u"support",   u"pricing", u"contact",
    u"faq",
};

// Generic nouns that may still stand at either edge of a phrase (backup tools).
constexpr std::u16string_view kEdgeKeepWords[] = {
    u"site",     u"sites",     u"page",    u"pages", u"tool", u"tools",
    u"download", u"downloads", u"windows", u"app",   u"apps", u"home",
};

constexpr std::u16string_view kNameWords[] = {u"talvenn", u"talvenns", u"vaskel"};

// Padded with one space on each side, so containment respects word boundaries.
constexpr std::u16string_view kBoilerplatePhrases[] = {
    u" frequently asked questions ",
    u" final thoughts ",
    u" related articles ",
    u" related posts ",
    u" further reading ",
    u" key takeaways ",
    u" key takeaway ",
    u" recent posts ",
    u" popular posts ",
    u" quick links ",
    u" useful links ",
    u" rights reserved ",
    u" cookie policy ",
    u" privacy policy ",
    u" user guide ",
    u" system requirements ",
    u" release notes ",
    u" post comment ",
    u" stay ahead ",
    u" still having issues ",
};

const WordSet& RunBreakers() {
    static const WordSet words(std::begin(kRunBreakers), std::end(kRunBreakers));
    return words;
}

const WordSet& StopWords() {
    static const WordSet words = [] {
        WordSet made(kRunBreakers, kRunBreakers + kBreakersThatAreStopWords);
        made.insert(std::begin(kMoreStopWords), std::end(kMoreStopWords));
        return made;
    }();
    return words;
}

const WordSet& EdgeKeepWords() {
    static const WordSet words(std::begin(kEdgeKeepWords), std::end(kEdgeKeepWords));
    return words;
}

bool BreaksRun(const Text& word) {
    return word.size() < kMinWordLength || RunBreakers().count(word) != 0;
}

// A word that may not stand at the edge of a phrase.
bool TrimmedAtEdge(const Text& word) {
    return IsNameWord(word) || (IsStopWord(word) && EdgeKeepWords().count(word) == 0);
}

Text Padded(const Text& phrase) {
    Text padded;
    padded.reserve(phrase.size() + 2);
    padded += u' ';
    padded += phrase;
    padded += u' ';
    return padded;
}

size_t WordCountOf(const Text& phrase) {
    return static_cast<size_t>(std::count(phrase.begin(), phrase.end(), u' ')) + 1;
}

using PhraseCounts = std::unordered_map<Text, std::int32_t>;

// Particles that join Japanese words; a piece does not begin or end with one.
bool IsParticle(char16_t unit) {
    return Text(u"\u306E\u306F\u3092\u306B\u3067\u3068\u304C\u3082\u3078\u3084").find(unit) !=
           Text::npos;
}

bool HasHanOrKana(const Text& text) {
    return std::any_of(text.begin(), text.end(), [](char16_t unit) { return IsHanOrKana(unit); });
}

// Headings in scripts written without spaces have no words to pair: each run of Han and
// Kana between punctuation, spaces and other scripts is a phrase of its own, so a topic
// never joins a Latin name to half a Japanese word.
void CountUnspacedHeadingPhrases(const Text& heading, PhraseCounts& counts) {
    constexpr size_t kMinLength = 2;
    constexpr size_t kMaxLength = 16;
    std::vector<Text> phrases;
    Text piece;
    auto flush = [&] {
        size_t first = 0;
        size_t end = piece.size();
        while (first < end && IsParticle(piece[first])) ++first;
        while (end > first && IsParticle(piece[end - 1])) --end;
        Text phrase = piece.substr(first, end - first);
        if (phrase.size() >= kMinLength && phrase.size() <= kMaxLength &&
            std::find(phrases.begin(), phrases.end(), phrase) == phrases.end()) {
            phrases.push_back(std::move(phrase));
        }
        piece.clear();
    };
    for (const char16_t unit : heading) {
        if (IsHanOrKana(unit)) {
            piece += unit;
        } else {
            flush();
        }
    }
    flush();
    for (Text& phrase : phrases) {
        ++counts[std::move(phrase)];
    }
}

bool SameWritingSystem(const Text& left, const Text& right) {
    return WritingSystemOf(left.front()) == WritingSystemOf(right.front());
}

void CountHeadingPhrases(const Text& heading, PhraseCounts& counts) {
    if (HasHanOrKana(heading)) {
        CountUnspacedHeadingPhrases(heading, counts);
        return;
    }
    const std::vector<Text> words = TokenizeHeading(heading);
    std::vector<Text> phrases;  // this heading's phrases, each once
    auto collect = [&](size_t first, size_t end) {
        Text phrase = MakePhrase(words, first, end);
        if (!phrase.empty() && std::find(phrases.begin(), phrases.end(), phrase) == phrases.end()) {
            phrases.push_back(std::move(phrase));
        }
    };
    size_t start = 0;
    while (start < words.size()) {
        if (BreaksRun(words[start])) {
            ++start;
            continue;
        }
        size_t runEnd = start + 1;
        while (runEnd < words.size() && !BreaksRun(words[runEnd]) &&
               SameWritingSystem(words[runEnd], words[start])) {
            ++runEnd;
        }
        for (size_t position = start; position < runEnd; ++position) {
            if (position + 2 <= runEnd)
                collect(position, position + 2);
            if (position + 3 <= runEnd)
                collect(position, position + 3);
        }
        start = runEnd;
    }
    for (Text& phrase : phrases) {
        ++counts[std::move(phrase)];
    }
}

struct RankedPhrase {
    Text phrase;
    std::int32_t count;
    size_t words;
};

bool RanksBefore(const RankedPhrase& left, const RankedPhrase& right) {
    if (left.count != right.count)
        return left.count > right.count;
    if (left.words != right.words)
        return left.words > right.words;
    return left.phrase < right.phrase;
}

}  // namespace

std::vector<Text> TokenizeHeading(const Text& heading) {
    std::vector<Text> words;
    const Text folded = ToLower(heading);
    size_t index = 0;
    while (index < folded.size()) {
        if (!IsWordUnit(folded[index])) {
            ++index;
            continue;
        }
        size_t end = index + 1;
        while (end < folded.size() && IsWordUnit(folded[end])) {
            ++end;
        }
        words.push_back(folded.substr(index, end - index));
        index = end;
    }
    return words;
}

Text MakePhrase(const std::vector<Text>& words, size_t first, size_t end) {
    end = std::min(end, words.size());
    if (first >= end) {
        return Text();
    }
    while (first < end && TrimmedAtEdge(words[first])) {
        ++first;
    }
    while (end > first && TrimmedAtEdge(words[end - 1])) {
        --end;
    }
    const size_t count = end - first;
    if (count < 2 || count > 3) {
        return Text();
    }
    bool allStopWords = true;
    for (size_t position = first; position < end; ++position) {
        if (IsNameWord(words[position])) {
            return Text();
        }
        allStopWords = allStopWords && IsStopWord(words[position]);
    }
    if (allStopWords) {
        return Text();
    }
    Text phrase = words[first];
    for (size_t position = first + 1; position < end; ++position) {
        phrase += u' ';
        phrase += words[position];
    }
    return IsBoilerplatePhrase(phrase) ? Text() : phrase;
}

bool IsStopWord(const Text& word) {
    return word.size() < kMinWordLength || StopWords().count(word) != 0;
}

bool IsNameWord(const Text& word) {
    return std::find(std::begin(kNameWords), std::end(kNameWords), word) != std::end(kNameWords);
}

bool IsBoilerplatePhrase(const Text& phrase) {
    const Text padded = Padded(phrase);
    for (const std::u16string_view boilerplate : kBoilerplatePhrases) {
        if (padded.find(boilerplate) != Text::npos ||
            boilerplate.find(padded) != std::u16string_view::npos) {
            return true;
        }
    }
    return false;
}

std::vector<Text> ExtractTopics(const std::vector<PageRecord>& pages, int maxTopics) {
    PhraseCounts counts;
    for (const PageRecord& page : pages) {
        for (const Text& heading : page.headings) {
            CountHeadingPhrases(heading, counts);
        }
    }

    // A phrase met in fewer than two headings is never chosen, so it need not be ranked.
    std::vector<RankedPhrase> ranked;
    for (auto& [phrase, count] : counts) {
        if (count >= 2) {
            ranked.push_back({phrase, count, WordCountOf(phrase)});
        }
    }
    std::sort(ranked.begin(), ranked.end(), RanksBefore);

    std::vector<Text> topics;
    std::vector<Text> paddedTopics;
    for (const RankedPhrase& candidate : ranked) {
        if (static_cast<long long>(topics.size()) >= maxTopics) {
            break;
        }
        const Text padded = Padded(candidate.phrase);
        const bool covered =
            std::any_of(paddedTopics.begin(), paddedTopics.end(),
                        [&](const Text& chosen) { return chosen.find(padded) != Text::npos; });
        if (covered) {
            continue;
        }
        // The candidate is longer than every topic it contains and takes their place.
        for (size_t k = topics.size(); k-- > 0;) {
            if (padded.find(paddedTopics[k]) != Text::npos) {
                topics.erase(topics.begin() + static_cast<std::ptrdiff_t>(k));
                paddedTopics.erase(paddedTopics.begin() + static_cast<std::ptrdiff_t>(k));
            }
        }
        topics.push_back(candidate.phrase);
        paddedTopics.push_back(padded);
    }
    return topics;
}

}  // namespace bcnk
