#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/html_parser.h"
#include "common/charset.h"

namespace bcnk {

void PrintTo(const DetectedCharset& detected, std::ostream* out) {
    *out << CharsetName(detected.charset) << " after " << detected.bomLength << " BOM bytes";
}

namespace {

using namespace std::string_literals;

TEST(DecodePageText, EachEncodingByItsLabels) {
    struct Row {
        const char* label;
        std::string bytes;
        Text text;
    };
    const std::vector<Row> rows = {
        {"utf-8", "caf\xC3\xA9 \xF0\x9F\x98\x80", u"caf\u00E9 \U0001F600"},
        {"windows-1250", "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2",
         u"\u017Dlu\u0165ou\u010Dk\u00FD k\u016F\u0148"},
        {"cp1251", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0",
         u"\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440"},
        {"windows-1252",
         "Caf\xE9 \x93quoted\x94 \x80"
         "5",
         u"Caf\u00E9 \u201Cquoted\u201D \u20AC5"},
        // Browsers read these two as windows-1252, where 0x80 is the euro sign.
        {"iso-8859-1",
         "Fa\xE7"
         "ade \x80",
         u"Fa\u00E7ade \u20AC"},
        {"US-ASCII", "na\xEFve", u"na\u00EFve"},
        {"latin2",
         "\xA3\xF3"
         "d\xBC",
         u"\u0141\u00F3d\u017A"},
        {"ISO-8859-15", "\xA4 \xBD \xBE", u"\u20AC \u0153 \u0178"},
        {" KOI8-R ", "\xF0\xD2\xC9\xD7\xC5\xD4", u"\u041F\u0440\u0438\u0432\u0435\u0442"},
        {"Shift_JIS", "\x93\xFA\x96{\x8C\xEA\x82\xCC\x83y\x81[\x83W",
         u"\u65E5\u672C\u8A9E\u306E\u30DA\u30FC\u30B8"},
        {"x-sjis", "\x83J\x83^\x83J\x83i", u"\u30AB\u30BF\u30AB\u30CA"},
        {"euc-jp", "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xC7\xA4\xB9", u"\u65E5\u672C\u8A9E\u3067\u3059"},
        {"gb2312", "\xD6\xD0\xCE\xC4\xCD\xF8\xD2\xB3", u"\u4E2D\u6587\u7F51\u9875"},
        {"GBK", "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4", u"\u7B80\u4F53\u4E2D\u6587"},
        {"big5",
         "\xC1"
         "c\xC5\xE9\xA4\xA4\xA4\xE5",
         u"\u7E41\u9AD4\u4E2D\u6587"},
        {"ks_c_5601-1987", "\xC7\xD1\xB1\xB9\xBE\xEE \xC6\xE4\xC0\xCC\xC1\xF6",
         u"\uD55C\uAD6D\uC5B4 \uD398\uC774\uC9C0"},
        {"euc-kr", "\xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4", u"\uC548\uB155\uD558\uC138\uC694"},
        {"utf-16le", "h\0i\0"s, u"hi"},
        {"utf-16be", "\0h\xD8\x3D\xDE\x00"s, u"h\U0001F600"},
        // Unknown and broken labels leave the page to be read as UTF-8.
        {"klingon", "caf\xC3\xA9", u"caf\u00E9"},
        {"\"windows-1251", "caf\xC3\xA9", u"caf\u00E9"},
        {"", "caf\xC3\xA9", u"caf\u00E9"},
    };
    for (const Row& row : rows) {
        const Text contentType = Utf8ToWide(std::string("text/html; charset=") + row.label);
        EXPECT_EQ(DecodePageText(row.bytes, contentType), row.text) << row.label;
        // Declared by the page itself instead of the header, the result is the same, except
        // that a page read this far cannot be UTF-16.
        if (std::string(row.label).find("utf-16") == std::string::npos) {
            const std::string page = std::string("<meta charset=\"") + row.label + "\">";
            EXPECT_EQ(DecodePageText(page + row.bytes, u""), Utf8ToWide(page) + row.text)
                << row.label;
        }
    }
}

TEST(DecodePageText, ByteOrderMarksAndBrokenUtf16) {
    struct Row {
        std::string bytes;
        Text text;
    };
    const std::vector<Row> rows = {
        {"\xEF\xBB\xBF<p>caf\xC3\xA9", u"<p>caf\u00E9"},
        {"\xFF\xFE<\0p\0"s, u"<p"},
        {"\xFE\xFF\0<\0p"s, u"<p"},
        {"\xFF\xFE\x00\xD8x\0"s, u"\uFFFDx"},  // lone high surrogate
        {"\xFF\xFE\x00\xDC"s, u"\uFFFD"},      // lone low surrogate
        {"\xFF\xFEx\0y"s, u"x\uFFFD"},         // odd byte at the end
        {"\xFF\xFE", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DecodePageText(row.bytes, u"text/html; charset=koi8-r"), row.text);
    }
}

TEST(DetectCharset, SourcesInBrowserOrder) {
    const std::string padding(kCharsetPrescanBytes, ' ');
    struct Row {
        const char* name;
        std::string body;
        std::string contentType;
        DetectedCharset detected;
    };
    const std::vector<Row> rows = {
        {"nothing", "<p>x", "", {Charset::Utf8, 0}},
        {"empty", "", "text/html", {Charset::Utf8, 0}},
        {"BOM beats header",
         "\xEF\xBB\xBF<meta charset=big5>",
         "text/html;charset=gbk",
         {Charset::Utf8, 3}},
        {"UTF-16LE BOM", "\xFF\xFE<", "text/html;charset=gbk", {Charset::Utf16Le, 2}},
        {"UTF-16BE BOM", "\xFE\xFF", "", {Charset::Utf16Be, 2}},
        {"header beats meta",
         "<meta charset=koi8-r>",
         "text/html; charset=iso-8859-2",
         {Charset::Iso8859_2, 0}},
        {"quoted header value", "", "text/html; Charset = \"Latin1\"", {Charset::Windows1252, 0}},
        {"unknown header label passed over",
         "<meta charset=cp1251>",
         "text/html; charset=x-bogus",
         {Charset::Windows1251, 0}},
        {"meta charset", "<html><head><META CHARSET='X-GBK'>", "text/html", {Charset::Gbk, 0}},
        {"meta http-equiv",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">",
         "",
         {Charset::EucKr, 0}},
        {"http-equiv after content",
         "<meta content='text/html;charset=sjis' HTTP-EQUIV='content-type'/>",
         "",
         {Charset::ShiftJis, 0}},
        {"content without http-equiv",
         "<meta name=x content=\"charset=koi8-r\">",
         "",
         {Charset::Utf8, 0}},
        {"unknown meta label passed over",
         "<meta charset=bogus><meta charset=big5>",
         "",
         {Charset::Big5, 0}},
        {"meta inside a comment",
         "<!-- <meta charset=koi8-r> --><meta charset=euc-jp>",
         "",
         {Charset::EucJp, 0}},
        {"meta inside a quoted value", "<a title='<meta charset=koi8-r>'>", "", {Charset::Utf8, 0}},
        {"meta naming UTF-16", "<meta charset=utf-16>", "", {Charset::Utf8, 0}},
        {"meta within the first 1,024 bytes",
         padding.substr(0, kCharsetPrescanBytes - 22) + "<meta charset=koi8-r>",
         "",
         {Charset::Koi8R, 0}},
        {"meta after the first 1,024 bytes",
         padding + "<meta charset=koi8-r>",
         "",
         {Charset::Utf8, 0}},
        {"meta cut by the 1,024th byte",
         padding.substr(0, kCharsetPrescanBytes - 10) + "<meta charset=koi8-r>",
         "",
         {Charset::Utf8, 0}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DetectCharset(row.body, row.contentType), row.detected) << row.name;
    }
}

TEST(ParseHtmlPage, ReadsThePageInItsDeclaredEncoding) {
    const std::string body =
        "<html lang=de><head><meta charset=windows-1252><title>Caf\xE9</title>"
        "<meta name=description content=\"Gr\xFC\xDF"
        "e\"></head><h1>\x93"
        "Fa\xE7"
        "ade\x94</h1>";
    const ParsedPage page = ParseHtmlPage(body, u"text/html");
    EXPECT_EQ(page.title, u"Caf\u00E9");
    EXPECT_EQ(page.description, u"Gr\u00FC\u00DFe");
    EXPECT_EQ(page.h1, u"\u201CFa\u00E7ade\u201D");
    // Without the header the old reading stays: UTF-8 whatever the page says.
    EXPECT_EQ(ParseHtmlPage(body).title, u"Caf\uFFFD");
    const std::string utf8 = "<title>caf\xC3\xA9</title><p>a b";
    EXPECT_EQ(ParseHtmlPage(utf8, u"text/html; charset=utf-8"), ParseHtmlPage(utf8));
}

}  // namespace
}  // namespace bcnk
