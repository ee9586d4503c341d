#pragma once
// Which language a page's text reads in when the page does not say: by its script where a
// script names the language, by its most common words where it is written in Latin letters.
#include "common/text.h"

namespace bcnk {

// Han ideographs and Japanese Kana: scripts written without spaces between words, where
// word processors count each character as a word.
bool IsHanOrKana(char32_t character);

// The writing system of a letter: one number per script, Han and Kana together (Japanese
// writes them side by side); -1 for units that are no letter of a known script.
int WritingSystemOf(char16_t unit);

// The primary subtag of a language tag or of the first entry of a Content-Language list,
// lower case: "de-AT, en" gives "de". Empty when there is none.
Text PrimaryLanguage(const Text& tagOrList);

// "ja", "zh", "ko", "ru", "uk", "el", "ar", "fa", "he", "th" by script; "en", "de", "fr",
// "es", "it", "pt", "nl", "pl", "sv" by common words. Empty when the text is too short or
// gives no clear answer.
Text RecognizeLanguage(const Text& text);

}  // namespace bcnk
