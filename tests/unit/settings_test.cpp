// The settings file: what a start reads (hand-edited, odd or broken files included), what an exit keeps,
// and the INI reader and writer under it, which follow the rules of the Windows profile functions.
#include "base/settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/app.h"
#include "base/ini.h"
#include "base/text.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct SettingsTest : ::testing::Test {
    FakePort port;
    App app{port};
    void Load(const std::string& bytes) {
        port.files["lumiseek.ini"] = bytes;
        SettingsFile(app, "get");
    }
};

TEST_F(SettingsTest, NoFileOrGarbageGivesTheDefaults) {
    app.settings.SearchTerm = "changed";
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings, Settings{});
    EXPECT_EQ(std::make_pair(port.window.w, port.window.h), std::make_pair(1600, 800));
    EXPECT_FALSE(port.restored);  // the window stays where it was created

    app.settings.FontSize = 5;
    Load("\x01\xFE[\x80\r\n\xFF=\x9F\r\n=[All]");
    EXPECT_EQ(app.settings, Settings{});
    EXPECT_TRUE(port.restored);  // a file exists: its (default) place is applied
    // A size edited below the smallest or above the largest is read as that limit.
    Load("[All]\r\nFontSize=-12\r\n");
    EXPECT_EQ(app.settings.FontSize, 8);
    Load("[All]\r\nFontSize=2147483647\r\n");
    EXPECT_EQ(app.settings.FontSize, 120);
}

TEST_F(SettingsTest, HandWrittenFileIsReadByTheRulesOfTheProfileFunctions) {
    // Keys outside our section are not ours; section and key names in any case and with blanks; comments,
    // lines without "=" or without a key are skipped; the first of two keys wins; CR or LF alone ends a line.
    Load("FontSize=1\r\n[Other]\r\nFontSize=2\r\n  [ aLL ]  \r\n; FontSize=3\r\nFontSize\r\n=9\r\n"
         "  FONTSIZE  =   11.5   \r\nfontsize=5\r\nWidth= 1024.5 \r\nHEIGHT=+700\rTop=10.5\nFG=x\r\nBG=  7abc\r\n"
         "SlowRate=-2.5\r\nFastRate=\r\nSearchTerm=  \"  a=b \"c\" \"  \r\nFontName='Courier New'\r\n"
         "IgnoreList=\"half'" + std::string(300, 'i') + "\r\n[All\r\nUseKB=0\r\nUnknownKey=123\r\n"
         "EnableToolTips=2\r\nMaxPrintLines=70\r\n");
    Settings want;  // numbers read leniently and rounded half to even; texts lose a pair of quotes, are cut
    want.Width = 1024; want.Height = 700; want.Top = 10; want.FontSize = 12; want.FG = 0; want.BG = 7;
    want.SlowRate = -2; want.FastRate = 0; want.UseKB = 0; want.EnableToolTips = 2; want.MaxPrintLines = 70;
    want.SearchTerm = "  a=b \"c\" "; want.FontName = "Courier New";
    want.IgnoreList = ("\"half'" + std::string(300, 'i')).substr(0, 259);
    EXPECT_EQ(app.settings, want);
    EXPECT_EQ(port.normal, (Rect{0, 10, 1024, 700}));
}

TEST_F(SettingsTest, EncodingsAndCharacterLimits) {
    std::string e;
    for (int i = 0; i < 150; ++i) e += "\xC3\xA9";  // é
    Load(EncodeUtf16Le("[All]\r\nFontName=\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA\r\nSearchTerm=" + e));
    EXPECT_EQ(app.settings.FontName, "\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA");  // メイリオ
    EXPECT_EQ(app.settings.SearchTerm, e.substr(0, 198));  // 99 characters
    Load("\xEF\xBB\xBF[All]\r\nSearchTerm=a\xFF" "b\r\n");  // marked UTF-8: a stray byte is replaced
    EXPECT_EQ(app.settings.SearchTerm, "a\xEF\xBF\xBD" "b");
    Load("[All]\r\nSearchTerm=caf\xE9\r\n");  // ANSI, through the port's decoder
    EXPECT_EQ(app.settings.SearchTerm, "caf\xC3\xA9");
    for (const std::string ansi : {"\xEF\xBB[All]", "\xEF[\xBF", "[\xBB\xBF"})  // part of a mark is ANSI text
        EXPECT_EQ(IniDecode(ansi + "\r\n", Windows1252ToUtf8), Windows1252ToUtf8(ansi) + "\r\n");
}

TEST_F(SettingsTest, SaveKeepsTheRestoredRectangleAndEveryValueForTheNextStart) {
    Settings& s = app.settings;
    s.SearchTerm = " \xC3\x9Cnic\xC3\xB6" "de \xF0\x9F\x98\x80 ";  // blanks at the ends
    s.FontName = "'\xE3\x83\xA1\xE3\x82\xA4'";
    s.IgnoreList = ".tmp;.bak;\"x\"\r\nFontSize=5\n[Other]";  // a line break cannot add a key or a section
    s.FontSize = 48; s.BG = 16777215; s.SortType = 0; s.vRate = -3; s.LastRow = 42; s.LastSearchType = 4;
    s.Left = -4; s.Top = 3; s.Width = 800; s.Height = 600;
    port.placement = {-4, 3, 796, 603, true, true};  // the restored rectangle's edges; minimised from maximised
    EXPECT_TRUE(SettingsFile(app, "save"));
    const std::string bytes = port.files.at("lumiseek.ini");
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const std::string head = "[All]\r\nLeft=-4\r\nTop= 3\r\nWidth= 800\r\nHeight= 600\r\n";
    EXPECT_EQ(IniDecode(bytes, Windows1252ToUtf8).substr(0, head.size()), head);
    EXPECT_EQ(std::make_pair(s.Minimized, s.Maximized), std::make_pair(1, 1));

    Settings saved = s;
    saved.IgnoreList = ".tmp;.bak;\"x\"  FontSize=5 [Other]";
    app.settings = {};
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings, saved);
    EXPECT_EQ(port.normal, (Rect{-4, 3, 800, 600}));  // the restored rectangle, in the same coordinates

    port.writesFail = true;  // a failed save says so and leaves the file as it was
    EXPECT_FALSE(SettingsFile(app, "save"));
    EXPECT_EQ(port.files.at("lumiseek.ini"), bytes);

    port.writesFail = false, port.placement.minimized = false;  // closed maximised
    std::string text = "[All]\r\n";  // every number under the name earlier versions' files hold, read and kept
    for (const char* key : {"FontSize", "FG", "BG", "ShowToolbar", "IconSize", "SortType", "HideToolbarText",
                            "MaxResults", "ExcludeSystemFolders", "EnableSpeakLetters", "SpeakNonLetters", "ShortPath",
                            "EnableToolTips", "EnableTime", "vRate", "SlowRate", "FastRate", "UseIgnoreList",
                            "UseMagnor", "FocusOnRE", "UseHover", "UseKB", "PrintFont", "MaxPrintLines", "SearchType",
                            "ShowPreview", "LastRow", "TopRow", "SpeakShortcuts", "IncludeShortcutKey",
                            "SpeakMinimalKey", "PreviewResize", "ImageBG", "WideToolbar", "DisableSpeech",
                            "LastSearchType"})
        text += std::string(key) + "=9\r\n";
    Load(text);
    EXPECT_TRUE(SettingsFile(app, "save"));
    EXPECT_EQ(std::make_pair(app.settings.Minimized, app.settings.Maximized), std::make_pair(0, 1));
    const IniFile written = IniRead(port.files.at("lumiseek.ini"), Windows1252ToUtf8);
    for (size_t at = 7; at < text.size(); at = text.find('\n', at) + 1)
        EXPECT_EQ(IniLookup(written, "All", text.substr(at, text.find('=', at) - at)).value_or("-"), "9") << text.substr(at, 20);
}

TEST(SettingsCycles, ResultAndPrintLimitsStepThroughTheirValues) {
    Settings s;
    std::vector<std::pair<int, int>> steps;  // result limit, print limit
    for (int i = 0; i < 7; ++i) {
        ManageMaxResults(s);
        ManageMaxPrintLines(s);
        steps.emplace_back(s.MaxResults, s.MaxPrintLines);
    }
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{
                         {250, 100}, {1000, 0}, {10000, 10}, {100000, 50}, {0, 100}, {50, 0}, {100, 10}}));
    s.MaxResults = s.MaxPrintLines = 75;  // a hand-edited value starts the cycle again; a print limit stays
    ManageMaxResults(s);
    ManageMaxPrintLines(s);
    EXPECT_EQ(std::make_pair(s.MaxResults, s.MaxPrintLines), std::make_pair(50, 75));
}

}  // namespace
}  // namespace lumiseek
