// Pages in other languages than English: what language they read in, how many words they
// hold, their lead sentence, and topics that keep to one script.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/html_parser.h"
#include "analysis/language.h"
#include "analysis/topics.h"

namespace bcnk {
namespace {

TEST(RecognizeLanguage, ByScriptThenByCommonWords) {
    const std::vector<std::pair<Text, Text>> rows = {
        {u"Debian \u306E\u672A\u6765\u3068\u30D1\u30C3\u30B1\u30FC\u30B8\u7BA1\u7406\u306B\u3064\u3044\u3066\u306E\u8AAC\u660E\u3067\u3059\u3002\u3053\u308C\u306F\u30C6\u30B9\u30C8\u3067\u3059", u"ja"},
        {u"\u8F6F\u4EF6\u5305\u7BA1\u7406\u662F\u7CFB\u7EDF\u7BA1\u7406\u7684\u6838\u5FC3\u90E8\u5206\uFF0C\u672C\u7AE0\u4ECB\u7ECD\u5982\u4F55\u5B89\u88C5\u548C\u5347\u7EA7", u"zh"},
        {u"\uD328\uD0A4\uC9C0 \uAD00\uB9AC\uB294 \uC2DC\uC2A4\uD15C \uAD00\uB9AC\uC758 \uD575\uC2EC\uC785\uB2C8\uB2E4 \uC774 \uC7A5\uC5D0\uC11C\uB294", u"ko"},
        {u"\u0423\u043F\u0440\u0430\u0432\u043B\u0435\u043D\u0438\u0435 \u043F\u0430\u043A\u0435\u0442\u0430\u043C\u0438 \u2014 \u043E\u0441\u043D\u043E\u0432\u0430 \u0430\u0434\u043C\u0438\u043D\u0438\u0441\u0442\u0440\u0438\u0440\u043E\u0432\u0430\u043D\u0438\u044F", u"ru"},
        {u"\u0394\u03B9\u03B1\u03C7\u03B5\u03AF\u03C1\u03B9\u03C3\u03B7 \u03C0\u03B1\u03BA\u03AD\u03C4\u03C9\u03BD \u03C3\u03C5\u03C3\u03C4\u03AE\u03BC\u03B1\u03C4\u03BF\u03C2", u"el"},
        {u"\u05E0\u05D9\u05D4\u05D5\u05DC \u05D7\u05D1\u05D9\u05DC\u05D5\u05EA \u05D4\u05D5\u05D0 \u05D7\u05DC\u05E7 \u05DE\u05E8\u05DB\u05D6\u05D9", u"he"},
        {u"\u0625\u062F\u0627\u0631\u0629 \u0627\u0644\u062D\u0632\u0645 \u0647\u064A \u062C\u0632\u0621 \u0623\u0633\u0627\u0633\u064A \u0645\u0646 \u0627\u0644\u0646\u0638\u0627\u0645", u"ar"},
        {u"\u0E01\u0E32\u0E23\u0E08\u0E31\u0E14\u0E01\u0E32\u0E23\u0E41\u0E1E\u0E47\u0E01\u0E40\u0E01\u0E08\u0E40\u0E1B\u0E47\u0E19\u0E2A\u0E48\u0E27\u0E19\u0E2A\u0E33\u0E04\u0E31\u0E0D", u"th"},
        {u"The package manager is the heart of the system and this chapter is for those who run it.", u"en"},
        {u"Der Paketmanager ist das Herz des Systems, und dieses Kapitel ist nicht nur f\u00FCr die Admins, die mit ihm arbeiten.", u"de"},
        {u"Le gestionnaire de paquets est le c\u0153ur du syst\u00E8me et les administrateurs qui pour les serveurs.", u"fr"},
        {u"El gestor de paquetes es el coraz\u00F3n del sistema y los administradores por eso lo usan como para todo.", u"es"},
        {u"Il gestore dei pacchetti \u00E8 il cuore del sistema e gli amministratori che sono anche della rete.", u"it"},
        {u"O gerenciador de pacotes \u00E9 o cora\u00E7\u00E3o do sistema e os administradores n\u00E3o s\u00E3o da rede em uma.", u"pt"},
        {u"De pakketbeheerder is het hart van het systeem en een beheerder met dat werk is niet voor niets.", u"nl"},
        {u"Mened\u017Cer pakiet\u00F3w jest sercem systemu i nie jest to \u017Ce w nim na do jak.", u"pl"},
        {u"Pakethanteraren \u00E4r hj\u00E4rtat i systemet och det \u00E4r som att inte med av f\u00F6r p\u00E5.", u"sv"},
        // Too little to tell, or no clear lead.
        {u"Debian", u""},
        {u"12345 67890 12345 67890 12345", u""},
    };
    for (const auto& [text, language] : rows) {
        EXPECT_EQ(RecognizeLanguage(text), language) << WideToUtf8(text);
    }
}

TEST(PrimaryLanguage, FirstEntryPrimarySubtag) {
    const std::vector<std::pair<Text, Text>> rows = {
        {u"ja-JP", u"ja"}, {u" de-AT, en", u"de"}, {u"EN", u"en"}, {u"zh_CN", u"zh"},
        {u"", u""},        {u"*", u""},            {u"x", u""},    {u"de;q=0.5", u"de"},
    };
    for (const auto& [value, primary] : rows) {
        EXPECT_EQ(PrimaryLanguage(value), primary) << WideToUtf8(value);
    }
}

TEST(ParseHtmlPage, HanAndKanaCountOneWordEach) {
    // 4 Latin words + 5 Japanese characters + 3 Chinese characters + 2 Han beyond the first
    // plane written next to Latin letters (U+24924, twice) and the "ab" between them.
    const ParsedPage page = ParseHtmlPage(
        "<p>Debian is a system \xE3\x81\xAE\xE6\x9C\xAA\xE6\x9D\xA5\xE3\x83\x91\xE3\x83\x83 "
        "\xE8\xBD\xAF\xE4\xBB\xB6\xE5\x8C\x85 \xF0\xA4\xA4\xA4" "ab\xF0\xA4\xA4\xA4</p>");
    EXPECT_EQ(page.wordCount, 15);
}

TEST(ParseHtmlPage, LeadSentenceAndRecognisedLanguage) {
    const ParsedPage page = ParseHtmlPage(
        "<p>Short intro.</p><p>The package manager is the heart of the system. It installs "
        "software and this is for the admins who keep it running.</p>");
    EXPECT_EQ(page.leadSentence, u"The package manager is the heart of the system.");
    EXPECT_EQ(page.language, u"");
    EXPECT_EQ(page.textLanguage, u"en");
    const ParsedPage japanese = ParseHtmlPage(
        "<p>\xE3\x81\x93\xE3\x82\x8C\xE3\x81\xAF Debian \xE3\x81\xAE\xE8\xAA\xAC\xE6\x98\x8E"
        "\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\xE6\xAC\xA1\xE3\x81\xAE\xE6\x96\x87\xE3\x80\x82"
        "</p>");
    EXPECT_EQ(japanese.leadSentence,
              u"\u3053\u308C\u306F Debian \u306E\u8AAC\u660E\u3067\u3059\u3002");
}

TEST(ExtractTopics, JapaneseHeadingsGivePiecesOfOneScript) {
    std::vector<PageRecord> pages(3);
    pages[0].headings = {u"2.3. Debian \u306E\u672A\u6765", u"\u30D1\u30C3\u30B1\u30FC\u30B8\u7BA1\u7406"};
    pages[1].headings = {u"Debian \u306E\u672A\u6765\u3001\u30D1\u30C3\u30B1\u30FC\u30B8\u7BA1\u7406"};
    pages[2].headings = {u"Debian Project \u306E\u672A\u6765", u"Debian Project"};
    const std::vector<Text> topics = ExtractTopics(pages, 10);
    EXPECT_EQ(topics, (std::vector<Text>{u"\u672A\u6765", u"\u30D1\u30C3\u30B1\u30FC\u30B8\u7BA1\u7406"}));
}

TEST(ExtractTopics, PhrasesNeverCrossScripts) {
    std::vector<PageRecord> pages(2);
    pages[0].headings = {u"Server \u0441\u0435\u0440\u0432\u0435\u0440 setup"};
    pages[1].headings = {u"Server \u0441\u0435\u0440\u0432\u0435\u0440 setup"};
    for (const Text& topic : ExtractTopics(pages, 10)) {
        EXPECT_EQ(topic.find(u"server \u0441"), Text::npos) << WideToUtf8(topic);
    }
}

}  // namespace
}  // namespace bcnk
