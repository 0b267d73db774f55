#include "base/settings.h"

#include <gtest/gtest.h>

#include "base/app.h"
#include "base/ini.h"
#include "base/text.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using test::FakePort;

struct SettingsTest : ::testing::Test {
    FakePort port;
    App app{port};

    void WriteUtf8File(const std::string& text) { port.files[port.SettingsPath()] = text; }
    std::string SavedText() { return IniDecode(port.files.at(port.SettingsPath()), Windows1252ToUtf8); }
};

TEST_F(SettingsTest, NoFileGivesEveryDefaultAndKeepsTheWindowWhereItIs) {
    app.settings.FontSize = 5;
    app.settings.SearchTerm = "changed";
    app.settings.FastRate = 9;
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings, Settings{});
    EXPECT_EQ(port.windowW, 1600);
    EXPECT_EQ(port.windowH, 800);
    EXPECT_FALSE(port.restored);
}

TEST_F(SettingsTest, PlacementIsAppliedWheneverTheFileExists) {
    WriteUtf8File("[All]\r\nLeft=0\r\nTop=0\r\n");
    SettingsFile(app, "get");
    EXPECT_EQ(port.normal, (Rect{0, 0, 1600, 800}));
}

TEST_F(SettingsTest, FontSizesBelowEightAreReadAsEight) {
    for (const char* size : {"0", "-12", "7", "8"}) {
        WriteUtf8File(std::string("[All]\r\nFontSize=") + size + "\r\n");
        SettingsFile(app, "get");
        EXPECT_EQ(app.settings.FontSize, 8) << size;
    }
}

TEST_F(SettingsTest, HandWrittenFileWithOddValues) {
    const std::string longIgnore(300, 'i');
    WriteUtf8File(
        "; edited by hand\r\n"
        "[Other]\r\n"
        "FontSize=99\r\n"
        "SearchTerm=wrong\r\n"
        "[all]\r\n"
        "Width= 1024.5 \r\n"
        "HEIGHT=+700\r\n"
        "Top=10.5\r\n"
        "  fontsize = 11.5\r\n"
        "FG=x\r\n"
        "BG=  7abc\r\n"
        "SlowRate=-2.5\r\n"
        "FastRate=\r\n"
        "IconSize=1e3\r\n"
        "vRate=1\r\n"
        "vRate=2\r\n"
        "SearchTerm=  'quoted term'  \r\n"
        "FontName=\"Courier New\"\r\n"
        "IgnoreList=" + longIgnore + "\r\n"
        "UnknownKey=123\r\n"
        "SEARCHTYPE=3\r\n"
        "UseKB\r\n");
    app.settings.UseKB = 0;  // missing from the file: back to the default
    SettingsFile(app, "get");
    const Settings& s = app.settings;
    EXPECT_EQ(s.Width, 1024);
    EXPECT_EQ(s.Height, 700);
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Top, 10);
    EXPECT_EQ(s.FontSize, 12);
    EXPECT_EQ(s.FG, 0);
    EXPECT_EQ(s.BG, 7);
    EXPECT_EQ(s.SlowRate, -2);
    EXPECT_EQ(s.FastRate, 0);
    EXPECT_EQ(s.IconSize, 1);
    EXPECT_EQ(s.vRate, 1);
    EXPECT_EQ(s.SearchTerm, "quoted term");
    EXPECT_EQ(s.FontName, "Courier New");
    EXPECT_EQ(s.IgnoreList, std::string(259, 'i'));
    EXPECT_EQ(s.SearchType, 3);
    EXPECT_EQ(s.UseKB, 1);
    EXPECT_EQ(s.MaxResults, 100);
    EXPECT_EQ(port.normal.w, 1024);
    EXPECT_EQ(port.normal.y, 10);
}

TEST_F(SettingsTest, TextLimitsCountCharactersNotBytes) {
    std::string e;
    for (int i = 0; i < 150; ++i) e += "\xC3\xA9";  // é
    std::string emoji;
    for (int i = 0; i < 120; ++i) emoji += "\xF0\x9F\x98\x80";
    WriteUtf8File("[All]\r\nSearchTerm=" + e + "\r\nFontName=" + emoji + "\r\nIgnoreList=" + e + e + "\r\n");
    SettingsFile(app, "get");
    EXPECT_EQ(CharCount(app.settings.SearchTerm), 99u);
    EXPECT_EQ(app.settings.SearchTerm, e.substr(0, 198));
    EXPECT_EQ(CharCount(app.settings.FontName), 99u);
    EXPECT_TRUE(IsValidUtf8(app.settings.FontName));
    EXPECT_EQ(CharCount(app.settings.IgnoreList), 259u);
}

TEST_F(SettingsTest, EachEncodingIsRead) {
    WriteUtf8File(EncodeUtf16Le("[All]\r\nFontName=\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA\r\nFontSize=20\r\n"));
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings.FontName, "\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA");  // メイリオ
    EXPECT_EQ(app.settings.FontSize, 20);

    WriteUtf8File("\xEF\xBB\xBF[All]\r\nSearchTerm=\xC3\xBC\r\n");
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings.SearchTerm, "\xC3\xBC");

    WriteUtf8File("[All]\r\nSearchTerm=caf\xE9\r\n");  // ANSI, through the port's decoder
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings.SearchTerm, "caf\xC3\xA9");
}

TEST_F(SettingsTest, GarbageFileGivesDefaults) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    WriteUtf8File(garbage);
    app.settings.FontSize = 5;
    SettingsFile(app, "get");
    EXPECT_EQ(app.settings, Settings{});
    EXPECT_TRUE(port.restored);  // the file exists, so the (default) place is applied
}

TEST_F(SettingsTest, SaveWritesEveryKeyInOrderAsUtf16) {
    port.placement = {10, 20, 1610, 820, false, true};
    SettingsFile(app, "save");
    const std::string expected =
        "[All]\r\n"
        "Left= 10\r\nTop= 20\r\nWidth= 1600\r\nHeight= 800\r\n"
        "SearchTerm=texas\r\nFontName=Arial Black\r\nIgnoreList=.lnk\r\n"
        "Minimized= 0\r\nMaximized= 1\r\n"
        "FontSize= 36\r\nFG= 65535\r\nBG= 16711680\r\nShowToolbar= 1\r\nIconSize= 96\r\nSortType= 1\r\n"
        "HideToolbarText= 0\r\nMaxResults= 100\r\nExcludeSystemFolders= 1\r\nEnableSpeakLetters= 1\r\n"
        "SpeakNonLetters= 1\r\nShortPath= 1\r\nEnableToolTips= 1\r\nEnableTime= 1\r\nvRate= 0\r\n"
        "SlowRate=-3\r\nFastRate= 3\r\nUseIgnoreList= 0\r\nUseMagnor= 1\r\nFocusOnRE= 0\r\nUseHover= 1\r\n"
        "UseKB= 1\r\nPrintFont= 0\r\nMaxPrintLines= 50\r\nSearchType= 0\r\nShowPreview= 0\r\nLastRow= 1\r\n"
        "TopRow= 1\r\nSpeakShortcuts= 1\r\nIncludeShortcutKey= 1\r\nSpeakMinimalKey= 1\r\nPreviewResize= 1\r\n"
        "ImageBG= 2\r\nWideToolbar= 0\r\nDisableSpeech= 0\r\nLastSearchType= 1\r\n";
    const std::string& bytes = port.files.at("lumiseek.ini");
    EXPECT_EQ(bytes, EncodeUtf16Le(expected));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE[\0", 4));
    size_t lines = 0;
    for (char c : expected) lines += c == '\n';
    EXPECT_EQ(lines, 46u);  // the section and 45 keys
    EXPECT_EQ(app.settings.Maximized, 1);
    EXPECT_EQ(app.settings.Minimized, 0);
    EXPECT_EQ(app.settings.Width, 1600);  // the placement is written, not stored
}

TEST_F(SettingsTest, SaveStoresTheShowStateAndUsesTheRestoredRectangle) {
    app.settings.Maximized = 1;
    port.placement = {-4, 3, 796, 603, true, false};
    SettingsFile(app, "save");
    EXPECT_EQ(app.settings.Minimized, 1);
    EXPECT_EQ(app.settings.Maximized, 0);
    const IniFile ini = IniParse(SavedText());
    EXPECT_EQ(IniLookup(ini, "All", "Left"), "-4");
    EXPECT_EQ(IniLookup(ini, "All", "Top"), "3");
    EXPECT_EQ(IniLookup(ini, "All", "Width"), "800");
    EXPECT_EQ(IniLookup(ini, "All", "Height"), "600");
    EXPECT_EQ(IniLookup(ini, "All", "Minimized"), "1");
}

TEST_F(SettingsTest, SaveThenGetKeepsEveryValue) {
    Settings& s = app.settings;
    s.Left = -7; s.Top = 12; s.Width = 1280; s.Height = 720;
    s.SearchTerm = " \xC3\x9Cnic\xC3\xB6" "de \xF0\x9F\x98\x80 \xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87 ";  // blanks at the ends
    s.FontName = "'\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA'";
    s.IgnoreList = ".tmp;.bak;\"x\"";
    s.Minimized = 1;
    s.FontSize = 48; s.FG = 0; s.BG = 16777215; s.ShowToolbar = 0; s.IconSize = 128; s.SortType = 0;
    s.HideToolbarText = 1; s.MaxResults = 0; s.ExcludeSystemFolders = 0; s.EnableSpeakLetters = 3;
    s.SpeakNonLetters = 7; s.ShortPath = 0; s.EnableToolTips = 2; s.EnableTime = 0; s.vRate = -3;
    s.SlowRate = -5; s.FastRate = 6; s.UseIgnoreList = 1; s.UseMagnor = 0; s.FocusOnRE = 1; s.UseHover = 3;
    s.UseKB = 0; s.PrintFont = 1; s.MaxPrintLines = 0; s.SearchType = 6; s.ShowPreview = 1; s.LastRow = 42;
    s.TopRow = 0; s.SpeakShortcuts = 0; s.IncludeShortcutKey = 0; s.SpeakMinimalKey = 0; s.PreviewResize = 0;
    s.ImageBG = 1; s.WideToolbar = 1; s.DisableSpeech = 1; s.LastSearchType = 4;
    port.placement = {-7, 12, 1273, 732, true, false};
    SettingsFile(app, "save");

    FakePort next;
    next.files = port.files;
    App reloaded{next};
    SettingsFile(reloaded, "get");
    EXPECT_EQ(reloaded.settings, s);
    // The restored rectangle goes back as it was read, in the same coordinates.
    EXPECT_EQ(next.normal, (Rect{-7, 12, 1280, 720}));
}

TEST_F(SettingsTest, OnlyGetAndSaveDoAnything) {
    WriteUtf8File("[All]\r\nFontSize=20\r\n");
    for (const char* action : {"Get", "SAVE", "", "get "}) SettingsFile(app, action);
    EXPECT_EQ(app.settings.FontSize, 36);
    EXPECT_EQ(port.windowW, 0);
    EXPECT_EQ(port.files.at("lumiseek.ini"), "[All]\r\nFontSize=20\r\n");
}

TEST(ManageMaxResults, CycleAndOddValues) {
    Settings s;
    s.MaxResults = 50;
    const int32_t cycle[] = {100, 250, 1000, 10000, 100000, 0, 50};
    for (int32_t next : cycle) {
        ManageMaxResults(s);
        EXPECT_EQ(s.MaxResults, next);
    }
    s.MaxResults = 75;
    ManageMaxResults(s);
    EXPECT_EQ(s.MaxResults, 50);
    s.MaxResults = -1;
    ManageMaxResults(s);
    EXPECT_EQ(s.MaxResults, 50);
}

TEST(ManageMaxPrintLines, CycleAndOddValuesStay) {
    Settings s;
    s.MaxPrintLines = 0;
    const int32_t cycle[] = {10, 50, 100, 0};
    for (int32_t next : cycle) {
        ManageMaxPrintLines(s);
        EXPECT_EQ(s.MaxPrintLines, next);
    }
    s.MaxPrintLines = 75;
    for (int i = 0; i < 5; ++i) ManageMaxPrintLines(s);
    EXPECT_EQ(s.MaxPrintLines, 75);
}

}  // namespace
}  // namespace lumiseek
