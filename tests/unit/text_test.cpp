// The text helpers: number forms, UTF-8 and UTF-16, decoding outside text, case, and a row's field text.
#include "base/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "base/app.h"
#include "base/result_row.h"
#include "fake_port.h"
#include "search/results.h"

namespace lumiseek {
namespace {

constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max(), kMin64 = std::numeric_limits<int64_t>::min();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max(), kMin32 = std::numeric_limits<int32_t>::min();

TEST(Numbers, TextFormRoundingLenientReadingAndMasks) {
    EXPECT_EQ(NumberText(0) + NumberText(3) + NumberText(-3), " 0 3-3");
    EXPECT_EQ(NumberText(kMin64), "-9223372036854775808");
    for (auto [value, rounded] : std::vector<std::pair<double, int64_t>>{
             {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {2.5001, 3}, {std::nan(""), 0}, {1e300, kMax64}, {-1e300, kMin64}})
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    // Blanks, a sign, digits, a fraction that only rounds (half to even); the rest is ignored.
    for (auto [text, number] : std::vector<std::pair<std::string, int32_t>>{
             {" 10.5", 10}, {"11.5", 12}, {"\t-3.5", -4}, {"  7abc", 7}, {"x", 0}, {"1e3", 1}, {".51", 1},
             {"2.50000001", 3}, {"- 3", 0}, {"2147483648", kMax32}, {std::string(100000, '9'), kMax32}})
        EXPECT_EQ(LenientNumber(text), number) << text;
    EXPECT_EQ(LenientNumber64("99999999999999999999999.5"), kMax64);
    EXPECT_EQ(LenientNumber64("9000000000000000000"), 9000000000000000000);
    // Display masks: grouped thousands, a digit only where the mask has a 0.
    for (auto [value, mask, text] : std::vector<std::tuple<double, std::string, std::string>>{
             {0, "###,##0", "0"}, {1234567, "###,##0", "1,234,567"}, {-1234, "###,##0", "-1,234"}, {0.4, "###,###", ""},
             {100000, "###,###", "100,000"}, {0, "###.0", ".0"}, {5, "###.0", "5.0"}, {-1.25, "###.0", "-1.2"},
             {1.5, "0.##", "1.5"}})
        EXPECT_EQ(FormatMask(value, mask), text) << value << " with " << mask;
    EXPECT_EQ(FormatMask(1e30, "###,##0").substr(0, 10), "9,223,372,");  // saturates
}

TEST(Utf, ConversionsAndOutsideTextReplaceEachBrokenPieceOnce) {
    const std::string text = "a \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";  // a é € 😀
    EXPECT_EQ(Utf8ToUtf16(text), u"a \u00E9 \u20AC \U0001F600");
    EXPECT_EQ(Utf16ToUtf8(u"a \u00E9 \u20AC \U0001F600 \U0010FFFF"), text + " \xF4\x8F\xBF\xBF");
    for (auto [bytes, units] : std::vector<std::pair<std::string, std::u16string>>{
             {"a\xE2\x82", u"a\uFFFD"}, {"a\xF0\x9F\x98" "b", u"a\uFFFDb"}, {"\xC0\xAF", u"\uFFFD\uFFFD"},
             {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, {"\x80x", u"\uFFFDx"}}) {
        EXPECT_EQ(Utf8ToUtf16(bytes), units) << bytes;
        EXPECT_FALSE(IsValidUtf8(bytes)) << bytes;
    }
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    // Lone surrogates, and a pair in the wrong order.
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x\xDC00\xDE00\xD83D"), "\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Windows1252ToUtf8("caf\xE9 \x80\x9F\x81"), "caf\xC3\xA9 \xE2\x82\xAC\xC5\xB8\xC2\x81");  // é € Ÿ
    // Text from outside is decoded by its mark, else as UTF-8 when valid, else as ANSI.
    test::FakePort port;
    App app{port};
    EXPECT_EQ(DecodeOutsideText(app, std::string("\xFF\xFE" "c\0:\0\\\0\xE9\0=\xD8\0\xDE", 14)),
              "c:\\\xC3\xA9\xF0\x9F\x98\x80");  // UTF-16 with its mark
    EXPECT_EQ(DecodeOutsideText(app, "\xEF\xBB\xBF" "c:\\\xE9"), "c:\\\xEF\xBF\xBD");  // marked UTF-8 stays UTF-8
    EXPECT_EQ(DecodeOutsideText(app, "c:\\\xC3\xA9"), "c:\\\xC3\xA9");
    EXPECT_EQ(DecodeOutsideText(app, "c:\\caf\xE9\\\x80"), "c:\\caf\xC3\xA9\\\xE2\x82\xAC");  // ANSI
}

TEST(LowerCase, CapitalsOfEveryScriptMeetTheirSmallLetters) {
    for (auto [upper, lower] : std::vector<std::pair<std::string, std::string>>{
             {"Hello WORLD 123 ÀÉÖØÞ × ĀĹŸŽŊ", "hello world 123 àéöøþ × āĺÿžŋ"},
             {"ƏLİ ǄǅǇ Ƀ Ⱥ ĐẶNG Ở", "əli ǆǆǉ ƀ ⱥ đặng ở"},  // Latin Extended-B (Ⱥ gets longer), Vietnamese
             {"ΟΔΥΣΣΕΥΣ ЖЁЛТЫЙ Ѣ ᲗᲑᲘ ＡＢＣ 𐐀", "οδυσσευσ жёлтый ѣ თბი ａｂｃ 𐐨"},
             {"ĺĸŉß ℂ 😀 日", "ĺĸŉß ℂ 😀 日"},  // no small form: unchanged
             {"\xFF" "A\xC3", "\xFF" "a\xC3"}}) {   // broken bytes kept
        EXPECT_EQ(LowerCase(upper), lower) << upper;
        EXPECT_EQ(LowerCase(lower), lower) << lower;
    }
    EXPECT_TRUE(IsCapitalLetter(U'Ǆ') && IsCapitalLetter(U'Ѣ') && !IsCapitalLetter(U'ǅ') && !IsCapitalLetter(U'ѣ'));
}

TEST(RowText, HoldsCopiesAndMovesAnyText) {
    for (size_t n : {0, 23, 24, 300}) {  // in place up to 23 bytes, on the heap beyond
        std::string text(n, 'x');
        if (n > 0) text[n - 1] = '\0';  // a NUL byte is text like any other
        RowText t = text, copy = t;
        RowText moved = std::move(copy);
        copy = moved;
        moved = std::string(40, 'y');
        EXPECT_EQ(std::make_tuple(std::string(t), std::string(copy), t.size()), std::make_tuple(text, text, n));
    }
}

}  // namespace
}  // namespace lumiseek
