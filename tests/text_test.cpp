#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "support/platform.h"

namespace bcnk {
namespace {

TEST(ToLower, FoldsOnlyAsciiCapitals) {
    EXPECT_EQ(ToLower(u"\u00C4BC-Stra\u00DFe"), u"\u00C4bc-stra\u00DFe");
    EXPECT_EQ(ToLower(u"\u0130I"), u"\u0130i");
    EXPECT_EQ(ToLower(u""), u"");
}

TEST(Trim, RemovesOnlyOuterWhiteSpace) {
    struct Row {
        Text input;
        Text expected;
    };
    const std::vector<Row> rows = {
        {u"  a b  ", u"a b"},
        {u" \t\u00A0 ", u""},
        {u"", u""},
        {u"\u3000x\u2003", u"x"},
        {u"\u0085\r\nx\v\f", u"x"},
        {u"\u200Bx", u"\u200Bx"},  // zero-width space is not a space
        {u"x", u"x"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Trim(row.input), row.expected);
    }
}

TEST(ContainsNoCase, FoldsAsciiBothSides) {
    EXPECT_TRUE(ContainsNoCase(u"Privacy-Policy", u"POLICY"));
    EXPECT_TRUE(ContainsNoCase(u"anything", u""));
    EXPECT_TRUE(ContainsNoCase(u"", u""));
    EXPECT_FALSE(ContainsNoCase(u"ab", u"abc"));
    EXPECT_FALSE(ContainsNoCase(u"\u00E4", u"\u00C4"));
    EXPECT_TRUE(ContainsNoCaseBytes("<!DOCTYPE HTML>", "<!doctype html"));
    EXPECT_TRUE(ContainsNoCaseBytes("x", ""));
    EXPECT_FALSE(ContainsNoCaseBytes("\xC3\x84", "\xC3\xA4"));
}

TEST(Escaping, XmlAndJson) {
    EXPECT_EQ(XmlEscape(u"a<b & 'd'"), u"a&lt;b &amp; &apos;d&apos;");
    EXPECT_EQ(XmlEscape(u"\"x\">"), u"&quot;x&quot;&gt;");
    EXPECT_EQ(JsonEscape(Text(u"\t\"\\\b/", 5)), u"\\t\\\"\\\\\\u0008/");
    EXPECT_EQ(JsonEscape(Text(u"\x01\x1f\n\r\x7f", 5)), u"\\u0001\\u001f\\n\\r\x7f");
    EXPECT_EQ(JsonEscape(Text(u"\0", 1)), u"\\u0000");
    EXPECT_EQ(JsonEscape(u"\U0001F600"), u"\U0001F600");
}

TEST(TodayDate, HasDateShape) {
    const Text date = TodayDate();
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[4], u'-');
    EXPECT_EQ(date[7], u'-');
}

// Bytes in, UTF-16 out: one table shared by both builds so the platform converter and our
// own decoder are held to the same results. Wine's converter treats a few ill-formed
// three- and four-byte sequences as shorter subparts than the Unicode Standard recommends;
// those rows carry Wine's answer separately so a change in either is still caught.
TEST(Utf8ToWide, TrickySequences) {
    struct Row {
        std::string bytes;
        Text expected;
        Text wineExpected = u"same";
    };
    const std::vector<Row> rows = {
        {"", u""},
        {"abc", u"abc"},
        {"\xC3\x28", u"\uFFFD("},
        {"\xC3\xA4", u"\u00E4"},
        {std::string("a\0b", 3), Text(u"a\0b", 3)},
        {"\xEF\xBB\xBFx", u"\uFEFFx"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xE2\x82", u"\uFFFD"},  // truncated three-byte sequence
        {"\xE2\x82x", u"\uFFFDx"},
        {"\xF0\x9F\x98", u"\uFFFD"},    // truncated four-byte sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},  // overlong: C0 never starts a sequence
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD"},  // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF5\x80", u"\uFFFD\uFFFD"},
        {"\x80\xBF", u"\uFFFD\uFFFD"},  // lone continuation bytes
        {"\xFF", u"\uFFFD"},
        {"\xF1\x80\x80\xE1\x80\xC2", u"\uFFFD\uFFFD\uFFFD"},
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    const bool wine = test::RunningUnderWine();
    for (const Row& row : rows) {
        const Text& expected =
            (wine && row.wineExpected != u"same") ? row.wineExpected : row.expected;
        EXPECT_EQ(Utf8ToWide(row.bytes), expected) << "bytes of length " << row.bytes.size();
    }
}

TEST(WideToUtf8, EncodesPairsAndReplacesLoneSurrogates) {
    struct Row {
        Text text;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {u"", ""},
        {u"a\u00E4\u20AC", "a\xC3\xA4\xE2\x82\xAC"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {Text(1, char16_t(0xD800)), "\xEF\xBF\xBD"},
        {Text(1, char16_t(0xDC00)) + u"x", "\xEF\xBF\xBDx"},
        {Text{char16_t(0xD800), char16_t(0xD800), char16_t(0xDC00)},
         "\xEF\xBF\xBD\xF0\x90\x80\x80"},
        {Text(u"\0", 1), std::string("\0", 1)},
        {u"\uFEFF", "\xEF\xBB\xBF"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WideToUtf8(row.text), row.expected);
    }
}

// The converters take ASCII in wide strides; a sequence at any offset from the start of a
// run, and near the ends of the text, must come out the same as on its own.
TEST(Utf8Conversion, SequencesAtEveryOffsetOfAnAsciiRun) {
    struct Special {
        std::string bytes;
        Text text;
        bool decodesBack = true;  // a lone surrogate is written as U+FFFD and read as that
    };
    const std::vector<Special> specials = {
        {"\xC3\xA4", u"\u00E4"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xEF\xBF\xBD", Text(1, char16_t(0xD800)), false},
        {"\xEF\xBF\xBD", Text(1, char16_t(0xDC00)), false},
    };
    std::vector<size_t> offsets;
    for (size_t offset = 0; offset <= 17; ++offset) {
        offsets.push_back(offset);
    }
    for (size_t offset = 8189; offset <= 8194; ++offset) {
        offsets.push_back(offset);
    }
    for (const Special& special : specials) {
        for (size_t offset : offsets) {
            for (size_t after : {size_t(0), size_t(1), size_t(9)}) {
                const Text text = Text(offset, u'a') + special.text + Text(after, u'b');
                const std::string bytes =
                    std::string(offset, 'a') + special.bytes + std::string(after, 'b');
                EXPECT_EQ(WideToUtf8(text), bytes) << "offset " << offset << " after " << after;
                if (special.decodesBack) {
                    EXPECT_EQ(Utf8ToWide(bytes), text) << "offset " << offset << " after " << after;
                }
            }
        }
    }
}

TEST(Utf8ToWide, RoundTripsLargeMixedText) {
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes += "<p>caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80</p>";
    }
    EXPECT_EQ(WideToUtf8(Utf8ToWide(bytes)), bytes);
}

}  // namespace
}  // namespace bcnk
