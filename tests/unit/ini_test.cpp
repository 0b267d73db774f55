#include "base/ini.h"

#include <gtest/gtest.h>

#include <random>

#include "base/text.h"

namespace lumiseek {
namespace {

std::string Get(const IniFile& ini, const char* key, const char* section = "All") {
    return IniLookup(ini, section, key).value_or("<missing>");
}

std::string Ansi1252(const std::string& bytes) { return Windows1252ToUtf8(bytes); }

TEST(IniParse, ReadingRulesOfTheProfileFunctions) {
    const IniFile ini = IniParse(
        "FontSize=1\r\n"                 // before any section: not in All
        "[Other]\r\n"
        "FontSize=2\r\n"
        "SearchTerm=other\r\n"
        "  [ aLL ]  \r\n"
        "; FontSize=3\r\n"               // comment
        "FontSize\r\n"                   // no '=': ignored, does not hide the key below
        "  FONTSIZE  =   4   \r\n"
        "fontsize=5\r\n"                 // duplicate: the first one wins
        "SearchTerm=  \"  two words \"  \r\n"
        "FontName='Arial Black'\r\n"
        "Mixed=\"half'\r\n"
        "Single=\"\r\n"
        "Empty=\r\n"
        "Inner=a \"b\" c\r\n"
        "Equals=a=b=c\r\n"
        "=nokey\r\n"
        "Tab=\tx\t\r\n"
        "[All\r\n"                       // not a section header
        "After=1\n"
        "Lf=6\rCr=7\n");
    EXPECT_EQ(Get(ini, "FontSize"), "4");
    EXPECT_EQ(Get(ini, "fontSIZE"), "4");
    EXPECT_EQ(Get(ini, "FontSize", "other"), "2");
    EXPECT_EQ(Get(ini, "FontSize", ""), "1");
    EXPECT_EQ(Get(ini, "SearchTerm"), "  two words ");
    EXPECT_EQ(Get(ini, "FontName"), "Arial Black");
    EXPECT_EQ(Get(ini, "Mixed"), "\"half'");
    EXPECT_EQ(Get(ini, "Single"), "\"");
    EXPECT_EQ(Get(ini, "Empty"), "");
    EXPECT_EQ(Get(ini, "Inner"), "a \"b\" c");
    EXPECT_EQ(Get(ini, "Equals"), "a=b=c");
    EXPECT_EQ(Get(ini, "Tab"), "x");
    EXPECT_EQ(Get(ini, "After"), "1");
    EXPECT_EQ(Get(ini, "Lf"), "6");
    EXPECT_EQ(Get(ini, "Cr"), "7");
    EXPECT_EQ(Get(ini, ""), "<missing>");
    EXPECT_EQ(Get(ini, "Missing"), "<missing>");
    EXPECT_EQ(Get(ini, "FontSize", "Nowhere"), "<missing>");
}

TEST(IniParse, NonAsciiNamesIgnoreCase) {
    const IniFile ini = IniParse("[\xC3\x84nderung]\nSCHL\xC3\x9C" "SSEL=\xC3\x9C\n");  // [Änderung] SCHLÜSSEL=Ü
    EXPECT_EQ(Get(ini, "schl\xC3\xBC" "ssel", "\xC3\xA4nderung"), "\xC3\x9C");
}

TEST(IniDecode, TheThreeEncodingsAndAnsi) {
    const std::string text = "[All]\r\nFontName=\xC3\xA9\xF0\x9F\x98\x80\r\n";  // é😀
    int ansiCalls = 0;
    const AnsiDecoder ansi = [&](const std::string& b) { ++ansiCalls; return Windows1252ToUtf8(b); };

    EXPECT_EQ(IniDecode(EncodeUtf16Le(text), ansi), text);
    EXPECT_EQ(IniDecode("\xEF\xBB\xBF" + text, ansi), text);
    EXPECT_EQ(IniDecode(text, ansi), text);
    EXPECT_EQ(ansiCalls, 0);
    EXPECT_EQ(IniDecode("[All]\r\nSearchTerm=caf\xE9\r\n", ansi), "[All]\r\nSearchTerm=caf\xC3\xA9\r\n");
    EXPECT_EQ(ansiCalls, 1);

    const IniFile ini = IniRead(EncodeUtf16Le(text), ansi);
    EXPECT_EQ(Get(ini, "FontName"), "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(IniDecode, BrokenEncodingsDoNotCrash) {
    // UTF-16 with an odd length: the last byte is dropped.
    EXPECT_EQ(IniDecode(std::string("\xFF\xFE" "A\0B\0C", 7), Ansi1252), "AB");
    EXPECT_EQ(IniDecode("\xFF\xFE", Ansi1252), "");
    EXPECT_EQ(IniDecode("\xFF", Ansi1252), "\xC3\xBF");
    // A lone surrogate in UTF-16 and broken bytes after a UTF-8 mark.
    EXPECT_EQ(IniDecode(std::string("\xFF\xFE\x00\xD8x\x00", 6), Ansi1252), "\xEF\xBF\xBDx");
    EXPECT_EQ(IniDecode("\xEF\xBB\xBF" "a\xFF" "b", Ansi1252), "a\xEF\xBF\xBD" "b");
}

TEST(IniRead, GarbageHasNoKeysAndNeverCrashes) {
    std::mt19937 random(42);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 4096, '\0');
        for (char& b : bytes) b = static_cast<char>(random() % 256);
        if (round % 2) bytes.insert(0, "\xFF\xFE");
        const IniFile ini = IniRead(bytes, Ansi1252);
        ASSERT_FALSE(IniLookup(ini, "All", "FontSize").has_value());
    }
    EXPECT_TRUE(IniRead(std::string(1 << 20, '\0'), Ansi1252).sections["all"].empty());
}

TEST(IniRead, HugeInputs) {
    // A 10 MB line, and 10 MB of tiny lines.
    const std::string longValue(10 << 20, 'x');
    const IniFile one = IniRead("[All]\nIgnoreList=" + longValue + "\nFontSize=9\n", Ansi1252);
    EXPECT_EQ(Get(one, "IgnoreList").size(), longValue.size());
    EXPECT_EQ(Get(one, "FontSize"), "9");

    std::string lines;
    for (int i = 0; lines.size() < (10u << 20); ++i) lines += "k=" + std::to_string(i % 1000) + "\n";
    const IniFile many = IniRead("[All]\n" + lines, Ansi1252);
    EXPECT_EQ(Get(many, "k"), "0");
}

TEST(IniText, WritesTheSectionAndKeysInOrder) {
    EXPECT_EQ(IniText("All", {{"Left", " 10"}, {"SearchTerm", "texas"}, {"Empty", ""}}),
              "[All]\r\nLeft= 10\r\nSearchTerm=texas\r\nEmpty=\r\n");
}

TEST(IniQuoted, EveryTextReadsBackTheSame) {
    const std::string values[] = {
        "plain", " leading", "trailing ", "  ", "'single'", "\"double\"", "\"", "'", "\"mixed'",
        "a \"b\" c", "a=b", "; not a comment", "[not a section]", "\xC3\xA9\xF0\x9F\x98\x80", "\"x\" ", "",
    };
    std::vector<std::pair<std::string, std::string>> keys;
    for (size_t i = 0; i < std::size(values); ++i) keys.emplace_back("K" + std::to_string(i), IniQuoted(values[i]));
    const IniFile ini = IniParse(IniText("All", keys));
    for (size_t i = 0; i < std::size(values); ++i) EXPECT_EQ(Get(ini, keys[i].first.c_str()), values[i]) << i;
    EXPECT_EQ(IniQuoted("Arial Black"), "Arial Black");
    EXPECT_EQ(IniQuoted("'q'"), "\"'q'\"");
}

TEST(IniText, LineBreaksCannotAddKeys) {
    const IniFile ini = IniParse(IniText("All", {{"SearchTerm", "x\r\nFontSize=5\n[Other]"}, {"FontSize", "9"}}));
    EXPECT_EQ(Get(ini, "SearchTerm"), "x  FontSize=5 [Other]");
    EXPECT_EQ(Get(ini, "FontSize"), "9");
}

TEST(EncodeUtf16Le, BomAndLittleEndianUnits) {
    EXPECT_EQ(EncodeUtf16Le("A\xE2\x82\xAC\xF0\x9F\x98\x80"),
              std::string("\xFF\xFE" "A\x00" "\xAC\x20" "\x3D\xD8\x00\xDE", 10));
    EXPECT_EQ(EncodeUtf16Le(""), "\xFF\xFE");
}

}  // namespace
}  // namespace lumiseek
