#include "analysis/language.h"

#include <array>
#include <initializer_list>
#include <string_view>
#include <unordered_map>

#include "analysis/word_chars.h"

namespace bcnk {
namespace {

enum Script { kLatin, kHan, kKana, kHangul, kCyrillic, kGreek, kArabic, kHebrew, kThai, kScripts };

int ScriptOf(char16_t unit) {
    if (unit < 0x0250) {
        return IsLatin1WordUnit(unit) || unit >= 0x0100 ? kLatin : -1;
    }
    if (unit >= 0x0370 && unit <= 0x03FF) return kGreek;
    if (unit >= 0x0400 && unit <= 0x052F) return kCyrillic;
    if (unit >= 0x0590 && unit <= 0x05FF) return kHebrew;
    if (unit >= 0x0600 && unit <= 0x06FF) return kArabic;
    if (unit >= 0x0E00 && unit <= 0x0E7F) return kThai;
    if (unit >= 0x1100 && unit <= 0x11FF) return kHangul;
    if (unit >= 0xAC00 && unit <= 0xD7AF) return kHangul;
    if (IsHanOrKana(unit)) return (unit >= 0x3040 && unit <= 0x31FF) || unit >= 0xFF66 ? kKana : kHan;
    return -1;
}

// Words frequent in one language and rare in the others of the list.
struct CommonWords {
    const char16_t* language;
    std::initializer_list<std::u16string_view> words;
};

const std::array<CommonWords, 9>& WordLists() {
    static const std::array<CommonWords, 9> lists = {{
        {u"en", {u"the", u"and", u"of", u"to", u"is", u"that", u"for", u"with", u"this", u"are"}},
        {u"de", {u"der", u"die", u"und", u"das", u"ist", u"nicht", u"mit", u"sich", u"auf", u"ein"}},
        {u"fr", {u"le", u"les", u"et", u"des", u"est", u"une", u"pour", u"dans", u"qui", u"pas"}},
        {u"es", {u"el", u"los", u"las", u"y", u"por", u"para", u"del", u"como", u"pero", u"más"}},
        {u"it", {u"il", u"di", u"che", u"della", u"per", u"sono", u"gli", u"anche", u"questo", u"delle"}},
        {u"pt", {u"o", u"os", u"não", u"uma", u"com", u"do", u"da", u"em", u"são", u"também"}},
        {u"nl", {u"het", u"een", u"van", u"niet", u"op", u"dat", u"zijn", u"voor", u"met", u"wordt"}},
        {u"pl", {u"i", u"w", u"nie", u"na", u"się", u"że", u"jest", u"do", u"jak", u"z"}},
        {u"sv", {u"och", u"att", u"det", u"är", u"som", u"på", u"för", u"med", u"av", u"inte"}},
    }};
    return lists;
}

Text ByCommonWords(const Text& text) {
    std::unordered_map<Text, int> counts;
    Text word;
    auto flush = [&] {
        if (!word.empty()) {
            ++counts[ToLower(word)];
            word.clear();
        }
    };
    for (const char16_t unit : text) {
        if (IsWordUnit(unit)) {
            word += unit;
        } else {
            flush();
        }
    }
    flush();
    const char16_t* best = nullptr;
    int bestScore = 0;
    int secondScore = 0;
    for (const CommonWords& list : WordLists()) {
        int score = 0;
        for (const std::u16string_view common : list.words) {
            const auto found = counts.find(Text(common));
            score += found == counts.end() ? 0 : found->second;
        }
        if (score > bestScore) {
            secondScore = bestScore;
            bestScore = score;
            best = list.language;
        } else if (score > secondScore) {
            secondScore = score;
        }
    }
    // A handful of hits, clearly ahead of the next language, or no answer.
    constexpr int kMinimumHits = 4;
    if (best == nullptr || bestScore < kMinimumHits || bestScore * 2 < secondScore * 3) {
        return Text();
    }
    return best;
}

bool ContainsAnyUnit(const Text& text, std::u16string_view units) {
    return text.find_first_of(units) != Text::npos;
}

}  // namespace

int WritingSystemOf(char16_t unit) {
    const int script = ScriptOf(unit);
    return script == kKana ? kHan : script;
}

bool IsHanOrKana(char32_t c) {
    return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF66 && c <= 0xFF9F) ||
           (c >= 0x20000 && c <= 0x2FFFF);
}

Text PrimaryLanguage(const Text& tagOrList) {
    const Text first = Trim(tagOrList.substr(0, tagOrList.find(u',')));
    const Text primary = ToLower(first.substr(0, first.find_first_of(u"-_;")));
    for (const char16_t unit : primary) {
        if (unit < u'a' || unit > u'z') {
            return Text();
        }
    }
    return primary.size() >= 2 && primary.size() <= 3 ? primary : Text();
}

Text RecognizeLanguage(const Text& text) {
    std::array<int, kScripts> letters{};
    int total = 0;
    for (const char16_t unit : text) {
        const int script = ScriptOf(unit);
        if (script >= 0) {
            ++letters[static_cast<size_t>(script)];
            ++total;
        }
    }
    constexpr int kMinimumLetters = 20;
    if (total < kMinimumLetters) {
        return Text();
    }
    // Japanese mixes Kana into Han and Latin; a modest share of Kana settles it.
    if (letters[kKana] * 10 >= total) {
        return u"ja";
    }
    int script = kLatin;
    for (int candidate = 0; candidate < kScripts; ++candidate) {
        if (letters[static_cast<size_t>(candidate)] > letters[static_cast<size_t>(script)]) {
            script = candidate;
        }
    }
    switch (script) {
        case kHan: return u"zh";
        case kKana: return u"ja";
        case kHangul: return u"ko";
        case kGreek: return u"el";
        case kHebrew: return u"he";
        case kThai: return u"th";
        // Letters Ukrainian has and Russian lacks; Persian letters Arabic lacks.
        case kCyrillic: return ContainsAnyUnit(text, u"\u0456\u0457\u0454\u0491") ? u"uk" : u"ru";
        case kArabic: return ContainsAnyUnit(text, u"\u067E\u0686\u0698\u06AF") ? u"fa" : u"ar";
        default: return ByCommonWords(text);
    }
}

}  // namespace bcnk
