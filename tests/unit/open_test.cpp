// Acting on the selected result: what the shell is handed, what es searches, which row is
// selected and what is spoken.
#include <gtest/gtest.h>

#include "actions/open.h"
#include "actions/short_folder.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using test::FakePort;
using test::Spoken;
using Texts = std::vector<std::string>;

struct OpenTest : ::testing::Test {
    FakePort port;
    App app{port};
    OpenTest() {
        port.associations[".docx"] = "Word";
        for (std::string name : {"report.DOCX", "readme", "archive.tar.gz", ".do", "sub", "b.txt", "<empty>"})
            app.Results.push_back({name, "d:\\a\\b\\", "", "", "", 0, name == "sub"});
    }
    // Selects a row and runs an operation; returns what it spoke.
    Texts Run(int row, void (*operation)(App&)) {
        port.spoken.clear();
        port.selectedRow = row;
        operation(app);
        return port.SpokenTexts();
    }
};

TEST_F(OpenTest, OpenFileFollowsTheExtensionListsAndRefuses) {
    EXPECT_EQ(Run(1, OpenLvFile), Texts{"Using Word to Open report.DOCX"});
    EXPECT_EQ(Run(2, OpenLvFile), Texts{"Using Error: associated program not found to Open readme"});
    EXPECT_EQ(Run(3, OpenLvFile), Texts{"Cannot Open File. Opening Parent Folder."});
    EXPECT_EQ(Run(4, OpenLvFile), Texts{"Using Error: associated program not found to Open .do"});
    EXPECT_EQ(Run(5, OpenLvFile), Texts{"Opening d:\\a\\b\\"});
    EXPECT_EQ(port.opened, (Texts{"d:\\a\\b\\report.DOCX", "d:\\a\\b\\readme", "d:\\a\\b\\", "d:\\a\\b\\.do", "d:\\a\\b\\"}));

    EXPECT_EQ(Run(7, OpenLvFile), Texts{"Empty"});
    EXPECT_EQ(Run(0, OpenLvFile), Texts{"No Selection"});
    app.settings.SearchType = 5;
    EXPECT_EQ(Run(1, OpenLvFile), Texts{"Not Available in Help Mode"});
    EXPECT_EQ(Run(1, OpenLvFolder), Texts{"Not Available in Help Mode"});
    EXPECT_EQ(port.opened.size(), 5u);
}

TEST_F(OpenTest, WholePathsGoToTheShellAndRefusalsAreHeardAfterTheAnnouncement) {
    app.Results[5].Folder = "d:\\" + std::string(300, 'x') + "\\";
    port.shellRefuses = true;
    Run(6, OpenLvFile);
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Using Error: associated program not found to Open b.txt", 3},
                                                {"Cannot Open b.txt", 1}}));
    EXPECT_EQ(port.opened.back(), app.Results[5].Folder + "b.txt");
    EXPECT_EQ(Run(1, OpenLvFolder), (Texts{"Opening d:\\a\\b\\", "Cannot Open d:\\a\\b\\"}));
}

TEST_F(OpenTest, ExpandSearchesAllInTheFolderOrItsParentAndKeepsTheBox) {
    port.boxText = "Budget";
    Run(1, ExpandParentFolder);
    EXPECT_TRUE(port.ran.back().ends_with("results.txt d:\\a\\")) << port.ran.back();
    EXPECT_EQ(app.settings.SearchType, 3);
    EXPECT_EQ(port.boxText, "Budget");
    EXPECT_EQ(Run(0, ExpandFolder), Texts{"No Selection"});
    EXPECT_EQ(port.ran.size(), 1u);

    EXPECT_EQ(GetParentFolder("D:\\A\\B\\"), "D:\\A\\");
    EXPECT_EQ(GetParentFolder("D:\\"), "");
    EXPECT_EQ(GetParentFolder("\\\\server\\share\\x\\"), "\\\\server\\share\\");
    EXPECT_EQ(GetParentFolder("\\\\server\\"), "");
}

TEST_F(OpenTest, JumpGoesDownToTheNextFolderOnlyAndLocationIsSpoken) {
    EXPECT_EQ(Run(2, JumpToFolder), Texts{"Folder Found"});
    EXPECT_EQ(port.spoken[0].flags, 2);  // spoken to its end before the row's name
    EXPECT_EQ(port.selectedRow, 5);
    EXPECT_EQ(Run(5, JumpToFolder), Texts{"Folder Not Found in List"});
    EXPECT_EQ(port.selectedRow, 5);

    EXPECT_EQ(Run(5, SpeakLocation), Texts{"Line 5 of  7 : Folder : sub"});
    app.settings.SearchType = 5;
    EXPECT_EQ(Run(1, SpeakLocation), Texts{"Line 1 of  7 : report.DOCX"});
    app.settings.DisableSpeech = 1;
    EXPECT_EQ(Run(0, SpeakLocation), Texts{});
}

TEST_F(OpenTest, ShortFolderLeavesOutAtLeastOneFolder) {
    app.settings.ShortPath = 1;
    EXPECT_EQ(ShortFolder(app, "C:\\Users\\Ann\\Documents\\Work\\"), "C:\\Users\\...\\Work");
    EXPECT_EQ(ShortFolder(app, "c:\\a\\b\\c"), "c:\\a\\...\\c");
    EXPECT_EQ(ShortFolder(app, "c:\\a\\b\\"), "c:\\a\\b\\");
    EXPECT_EQ(ShortFolder(app, "C:\\"), "C:\\");
    EXPECT_EQ(ShortFolder(app, "\\\\server\\share\\docs\\"), "\\\\...\\docs");
    app.settings.ShortPath = 0;
    EXPECT_EQ(ShortFolder(app, "c:\\a\\b\\c\\"), "");
}

TEST_F(OpenTest, EverythingMagnorAndTheDoubleClickThroughTheDispatcher) {
    OnCommand(app, cmd::OpenEverything, 1);
    EXPECT_EQ(port.LastSpoken(), "Shortcut Pressed: Open Everything : F3 : Everything Not Found");
    port.files["C:\\Program Files\\Everything\\Everything.exe"] = "";
    RA(app, cmd::OpenEverything);
    EXPECT_EQ(port.LastSpoken(), "Opening Everything");
    EXPECT_EQ(port.beeps, 2);

    port.files["magnor.exe"] = "";
    port.program = "c:\\lumiseek\\magnor.exe";
    app.settings.UseMagnor = 1;
    app.settings.UseHover = 2;
    OnHelp(app, true);
    app.settings.UseMagnor = 0;
    OnHelp(app, true);
    EXPECT_EQ(port.started, (Texts{"\"C:\\Program Files\\Everything\\Everything.exe\"",
                                   "\"c:\\lumiseek\\magnor.exe\"  96 1 0 1 1 0 0 0 0 0 2 0 0 0 0 0 1 0 0"}));

    app.settings.SearchType = 6;
    Run(1, OnListDoubleClick);
    EXPECT_EQ(port.LastSpoken(), "Not available when Shortcuts are displayed");
    EXPECT_EQ(port.opened.size(), 2u);  // the help page, twice
}

}  // namespace
}  // namespace lumiseek
