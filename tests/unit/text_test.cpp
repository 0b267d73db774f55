#include "base/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace lumiseek {
namespace {

TEST(NumberText, LeadingBlankUnlessNegative) {
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(3), " 3");
    EXPECT_EQ(NumberText(-3), "-3");
    EXPECT_EQ(NumberText(16711680), " 16711680");
    EXPECT_EQ(NumberText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-2.5001), -3);
    EXPECT_EQ(RoundHalfEven(-7.0), -7);
}

TEST(RoundHalfEven, OutOfRangeSaturatesAndNanIsZero) {
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(RoundHalfEven(-1e300), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), std::numeric_limits<int64_t>::max());
}

struct MaskCase {
    double value;
    const char* mask;
    const char* expected;
};

TEST(FormatMask, TheFourMasks) {
    const MaskCase cases[] = {
        {0, "###,##0", "0"},
        {1, "###,##0", "1"},
        {999, "###,##0", "999"},
        {1000, "###,##0", "1,000"},
        {1234567, "###,##0", "1,234,567"},
        {-1234, "###,##0", "-1,234"},
        {2.5, "###,##0", "2"},
        {3.5, "###,##0", "4"},
        {0.4, "###,##0", "0"},
        {0, "##,##0", "0"},
        {12345, "##,##0", "12,345"},
        {1234567, "##,##0", "1,234,567"},
        {0, "###,###", ""},
        {0.4, "###,###", ""},
        {1, "###,###", "1"},
        {999, "###,###", "999"},
        {1000, "###,###", "1,000"},
        {100000, "###,###", "100,000"},
        {1234567, "###,###", "1,234,567"},
        {-5, "###,###", "-5"},
        {0, "###.0", ".0"},
        {0.04, "###.0", ".0"},
        {12.345, "###.0", "12.3"},
        {5, "###.0", "5.0"},
        {1234.56, "###.0", "1234.6"},
        {0.25, "###.0", ".2"},
        {0.75, "###.0", ".8"},
        {-1.25, "###.0", "-1.2"},
        {-0.04, "###.0", ".0"},
    };
    for (const MaskCase& c : cases)
        EXPECT_EQ(FormatMask(c.value, c.mask), c.expected) << c.value << " with " << c.mask;
}

TEST(FormatMask, OtherMasksOfTheSameKind) {
    EXPECT_EQ(FormatMask(1234.5, "#,##0.00"), "1,234.50");
    EXPECT_EQ(FormatMask(7, "000"), "007");
    EXPECT_EQ(FormatMask(1.5, "0.##"), "1.5");
    EXPECT_EQ(FormatMask(1.25, "0.##"), "1.25");
    EXPECT_EQ(FormatMask(1e30, "###,##0").substr(0, 10), "9,223,372,");  // saturates, no crash
}

TEST(LenientNumber, ReadsWhatAHandEditedFileHolds) {
    EXPECT_EQ(LenientNumber(" 10.5"), 10);
    EXPECT_EQ(LenientNumber("11.5"), 12);
    EXPECT_EQ(LenientNumber("+3"), 3);
    EXPECT_EQ(LenientNumber("-3"), -3);
    EXPECT_EQ(LenientNumber("x"), 0);
    EXPECT_EQ(LenientNumber("-2.5"), -2);
    EXPECT_EQ(LenientNumber("-3.5"), -4);
    EXPECT_EQ(LenientNumber("  7abc"), 7);
    EXPECT_EQ(LenientNumber("\t5"), 5);
    EXPECT_EQ(LenientNumber(""), 0);
    EXPECT_EQ(LenientNumber("   "), 0);
    EXPECT_EQ(LenientNumber("1e3"), 1);
    EXPECT_EQ(LenientNumber("0.5"), 0);
    EXPECT_EQ(LenientNumber("1.5"), 2);
    EXPECT_EQ(LenientNumber("2.50000001"), 3);
    EXPECT_EQ(LenientNumber("2.4999999"), 2);
    EXPECT_EQ(LenientNumber(".5"), 0);
    EXPECT_EQ(LenientNumber(".51"), 1);
    EXPECT_EQ(LenientNumber("12,345"), 12);
    EXPECT_EQ(LenientNumber("0x10"), 0);
    EXPECT_EQ(LenientNumber("- 3"), 0);
    EXPECT_EQ(LenientNumber("+-3"), 0);
    EXPECT_EQ(LenientNumber("16711680"), 16711680);
}

TEST(LenientNumber, HugeNumbersSaturate) {
    EXPECT_EQ(LenientNumber("2147483647"), 2147483647);
    EXPECT_EQ(LenientNumber("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(LenientNumber("2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(LenientNumber("99999999999999999999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(LenientNumber("-99999999999999999999999999.9"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(LenientNumber(std::string(100000, '9')), std::numeric_limits<int32_t>::max());
}

TEST(Utf, RoundTripOfOneToFourByteCharacters) {
    const std::string text = "a \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";  // a é € 😀
    const std::u16string units = Utf8ToUtf16(text);
    EXPECT_EQ(units, u"a \u00E9 \u20AC \U0001F600");
    EXPECT_EQ(units.size(), 8u);  // the emoji is a surrogate pair
    EXPECT_EQ(Utf16ToUtf8(units), text);
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(Utf16ToUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
}

TEST(Utf, InvalidBytesBecomeOneReplacementPerBrokenPiece) {
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD");                // cut short at the end
    EXPECT_EQ(Utf8ToUtf16("a\xF0\x9F\x98" "b"), u"a\uFFFDb");       // cut short in the middle
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
    EXPECT_EQ(Utf8ToUtf16("\x80x"), u"\uFFFDx");
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    for (const char* bad : {"\xFF", "a\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(Utf, LoneSurrogatesBecomeReplacement) {
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(u"x\xDC00"), "x\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(u"\xDE00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // pair in the wrong order
}

TEST(Utf, AnyBytesGiveValidTextThatRoundTrips) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& b : bytes) b = static_cast<char>(random() % 256);
        const std::u16string units = Utf8ToUtf16(bytes);
        const std::string utf8 = Utf16ToUtf8(units);
        ASSERT_TRUE(IsValidUtf8(utf8));
        ASSERT_EQ(Utf8ToUtf16(utf8), units);
        ASSERT_EQ(CharCount(bytes), CharCount(utf8));
        if (IsValidUtf8(bytes)) ASSERT_EQ(utf8, bytes);
    }
}

TEST(Windows1252ToUtf8, HighBytes) {
    EXPECT_EQ(Windows1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Windows1252ToUtf8("\x80\x9F\xFF"), "\xE2\x82\xAC\xC5\xB8\xC3\xBF");  // € Ÿ ÿ
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");
    EXPECT_EQ(Windows1252ToUtf8("plain"), "plain");
}

TEST(LowerCase, CapitalsOfEveryScriptMeetTheirSmallLetters) {
    struct Pair {
        const char* upper;
        const char* lower;
    } pairs[] = {
        {"Hello WORLD 123", "hello world 123"},
        {"ÀÉÖØÞ × ĀĹŸŽŊ", "àéöøþ × āĺÿžŋ"},
        {"ƏLİ ƷƁƊ ǄǅǇ Ƀ Ⱥ", "əli ʒɓɗ ǆǆǉ ƀ ⱥ"},     // Latin Extended-B (Ⱥ gets longer in UTF-8)
        {"ĐẶNG VĂN LÂM Ở HỒ", "đặng văn lâm ở hồ"},  // Vietnamese
        {"ԵՐԵՎԱՆ", "երեվան"},                         // Armenian
        {"ᲗᲑᲘᲚᲘᲡᲘ Ⴀ", "თბილისი ⴀ"},                  // Georgian Mtavruli and Asomtavruli
        {"ＡＢＣ１", "ａｂｃ１"},                     // full width
        {"ΟΔΥΣΣΕΥΣ ΆΏΪ", "οδυσσευσ άώϊ"},             // Greek
        {"ЖЁЛТЫЙ Ї Ѣ", "жёлтый ї ѣ"},                 // Cyrillic
        {"Ꭰ 𐐀", "ꭰ 𐐨"},                              // Cherokee, Deseret (four bytes)
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(LowerCase(p.upper), p.lower) << p.upper;
        EXPECT_EQ(LowerCase(p.lower), p.lower) << p.lower;
    }
    EXPECT_EQ(LowerCase("ĺĸŉß ℂ"), "ĺĸŉß ℂ");  // small letters and capitals without a small form stay
}

TEST(LowerCase, IdempotentEverywhereAsciiOnlyLetters) {
    std::string once;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string text = Utf16ToUtf8(c < 0x10000 ? std::u16string(1, static_cast<char16_t>(c))
                                                   : std::u16string{static_cast<char16_t>(0xD7C0 + (c >> 10)),
                                                                    static_cast<char16_t>(0xDC00 | (c & 0x3FF))});
        LowerCaseInto(text, once);
        ASSERT_EQ(LowerCase(once), once) << std::hex << static_cast<uint32_t>(c);
        if (c < 0x80) ASSERT_EQ(once, std::string(1, static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c)));
    }
}

TEST(LowerCase, OtherTextUnchanged) {
    EXPECT_EQ(LowerCase("\xF0\x9F\x98\x80 \xE6\x97\xA5"), "\xF0\x9F\x98\x80 \xE6\x97\xA5");
    EXPECT_EQ(LowerCase("\xFF" "A\xC3"), "\xFF" "a\xC3");  // broken bytes are kept as they are
}

TEST(LowerCase, AsciiRunsAroundOtherBytesAtEveryOffset) {
    // ASCII is read eight bytes at a time: a character or a broken byte at any place of a run
    // must still be seen.
    for (size_t at = 0; at < 20; ++at) {
        std::string upper(20, 'Q'), lower(20, 'q');
        EXPECT_EQ(LowerCase(upper.substr(0, at)), lower.substr(0, at));
        std::string text = upper, expected = lower;
        text.replace(at, 1, "\xC3\x84");      // Ä
        expected.replace(at, 1, "\xC3\xA4");  // ä
        EXPECT_TRUE(IsValidUtf8(text));
        EXPECT_EQ(LowerCase(text), expected) << at;
        text[at] = '\xFF';
        expected[at] = '\xFF';
        expected[at + 1] = '\x84';
        EXPECT_FALSE(IsValidUtf8(text)) << at;
        EXPECT_EQ(LowerCase(text), expected) << at;
        text.replace(at, 2, "\xC4\xB0");      // İ becomes i: the text gets shorter
        expected.replace(at, 2, "i");
        EXPECT_EQ(LowerCase(text), expected) << at;
    }
}

TEST(TextHelpers, TrimAndReplace) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("ab", "a", "aa"), "aab");  // no rescanning of the replacement
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("a\\b\\", "\\", "/"), "a/b/");
}

TEST(TextHelpers, CharactersNotBytes) {
    const std::string text = "\xC3\xA9\xF0\x9F\x98\x80x";  // é😀x
    EXPECT_EQ(CharCount(text), 3u);
    EXPECT_EQ(FirstChars(text, 2), "\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(FirstChars(text, 0), "");
    EXPECT_EQ(FirstChars(text, 10), text);
    EXPECT_EQ(CharCount("a\xFF" "b"), 3u);
    EXPECT_EQ(FirstChars("a\xE2\x82" "bc", 2), "a\xE2\x82");  // a broken piece counts as one
}

}  // namespace
}  // namespace lumiseek
