// Our INI reader and writer: the rules of the Windows profile functions, its encodings, values that read back.
#include "base/ini.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace lumiseek {
namespace {

std::string Get(const IniFile& ini, const char* key, const char* section = "All") {
    return IniLookup(ini, section, key).value_or("<missing>");
}

TEST(IniParse, ReadingRulesOfTheProfileFunctions) {
    const IniFile ini = IniParse(
        "FontSize=1\r\n[Other]\r\nFontSize=2\r\n  [ aLL ]  \r\n"
        "; FontSize=3\r\nFontSize\r\n  FONTSIZE  =   4   \r\nfontsize=5\r\n"  // comment, no "=", first wins
        "SearchTerm=  \"  two words \"  \r\nFontName='Arial Black'\r\nMixed=\"half'\r\nInner=a \"b\" c\r\n"
        "Equals=a=b=c\r\n=nokey\r\n[All\r\nLf=6\rCr=7\n");
    const std::pair<const char*, const char*> expected[] = {
        {"fontSIZE", "4"},      {"SearchTerm", "  two words "}, {"FontName", "Arial Black"}, {"Mixed", "\"half'"},
        {"Inner", "a \"b\" c"}, {"Equals", "a=b=c"},           {"Lf", "6"},                  {"Cr", "7"},
        {"", "<missing>"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(Get(ini, key), value) << key;
    EXPECT_EQ(Get(ini, "FontSize", "other"), "2");
    EXPECT_EQ(Get(ini, "FontSize", ""), "1");
}

TEST(IniDecode, EncodingsAndBrokenBytes) {
    const std::string text = "[All]\r\nFontName=\xC3\xA9\xF0\x9F\x98\x80\r\n";  // é😀
    for (const std::string& bytes : {EncodeUtf16Le(text), "\xEF\xBB\xBF" + text, text})
        EXPECT_EQ(IniDecode(bytes, Windows1252ToUtf8), text);
    EXPECT_EQ(IniDecode("SearchTerm=caf\xE9", Windows1252ToUtf8), "SearchTerm=caf\xC3\xA9");
    // An odd last byte is dropped; a lone surrogate and broken UTF-8 become U+FFFD.
    EXPECT_EQ(IniDecode(std::string("\xFF\xFE" "A\0B\0C", 7), Windows1252ToUtf8), "AB");
    EXPECT_EQ(IniDecode(std::string("\xFF\xFE\x00\xD8x\x00", 6), Windows1252ToUtf8), "\xEF\xBF\xBDx");
    EXPECT_EQ(IniDecode("\xEF\xBB\xBF" "a\xFF" "b", Windows1252ToUtf8), "a\xEF\xBF\xBD" "b");
}

TEST(IniText, EveryTextReadsBackTheSame) {
    const std::string values[] = {
        "plain", " leading", "trailing ", "  ", "'single'", "\"double\"", "\"", "\"mixed'",
        "a \"b\" c", "a=b", "; not a comment", "[not a section]", "\"x\" ", "",
    };
    std::vector<std::pair<std::string, std::string>> keys;
    for (size_t i = 0; i < std::size(values); ++i) keys.emplace_back("K" + std::to_string(i), IniQuoted(values[i]));
    keys.emplace_back("SearchTerm", "x\r\nFontSize=5\n[Other]");  // a line break cannot add a key
    keys.emplace_back("FontSize", "9");
    const IniFile ini = IniParse(IniText("All", keys));
    for (size_t i = 0; i < std::size(values); ++i) EXPECT_EQ(Get(ini, keys[i].first.c_str()), values[i]) << i;
    EXPECT_EQ(Get(ini, "SearchTerm"), "x  FontSize=5 [Other]");
    EXPECT_EQ(Get(ini, "FontSize"), "9");
    EXPECT_EQ(IniQuoted("Arial Black"), "Arial Black");
}

}  // namespace
}  // namespace lumiseek
