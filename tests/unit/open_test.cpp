// Acting on the selected result: what the shell is handed, which row is selected, what is spoken.
#include <gtest/gtest.h>

#include "actions/open.h"
#include "actions/short_folder.h"
#include "base/app.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct OpenTest : ::testing::Test {
    FakePort port;
    App app{port};
    OpenTest() {
        port.associations[".docx"] = "Word";
        for (std::string name : {"report.DOCX", "readme", "archive.tar.gz", ".do", "sub", "b.txt"})
            app.Results.push_back({name, "d:\\a\\b\\", "", "", "", 0, name == "sub"});
    }
    Texts Run(int row, void (*operation)(App&)) {
        port.spoken.clear();
        port.selectedRow = row;
        operation(app);
        return port.SpokenTexts();
    }
};

TEST_F(OpenTest, OpenFileFollowsTheExtensionListsAndSaysWhenTheShellRefuses) {
    EXPECT_EQ(Run(1, OpenLvFile), Texts{"Using Word to Open report.DOCX"});
    EXPECT_EQ(Run(2, OpenLvFile), Texts{"Using Error: associated program not found to Open readme"});
    EXPECT_EQ(Run(3, OpenLvFile), Texts{"Cannot Open File. Opening Parent Folder."});
    EXPECT_EQ(Run(4, OpenLvFile), Texts{"Using Error: associated program not found to Open .do"});
    EXPECT_EQ(port.opened, (Texts{"d:\\a\\b\\report.DOCX", "d:\\a\\b\\readme", "d:\\a\\b\\", "d:\\a\\b\\.do"}));
    EXPECT_EQ(Run(0, OpenLvFile), Texts{"No Selection"});

    // A path longer than 260 characters reaches the shell whole; its refusal follows the announcement.
    app.Results[5].Folder = "d:\\" + std::string(300, 'x') + "\\";
    port.shellRefuses = true;
    Run(6, OpenLvFile);
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Using Error: associated program not found to Open b.txt", 3},
                                                {"Cannot Open b.txt", 1}}));
    EXPECT_EQ(port.opened.back(), app.Results[5].Folder + "b.txt");
}

TEST_F(OpenTest, ParentAndShortFoldersKeepWhatTheyCannotLeaveOut) {
    EXPECT_EQ(GetParentFolder("D:\\A\\B\\"), "D:\\A\\");
    EXPECT_EQ(GetParentFolder("D:\\"), "");
    EXPECT_EQ(GetParentFolder("\\\\server\\share\\x\\"), "\\\\server\\share\\");
    app.settings.ShortPath = 1;
    for (auto [folder, shown] : std::vector<std::pair<std::string, std::string>>{
             {"c:\\a\\b\\c", "c:\\a\\...\\c"}, {"c:\\a\\b\\", "c:\\a\\b\\"}, {"C:\\", "C:\\"},
             {"\\\\server\\share\\docs\\", "\\\\...\\docs"}})
        EXPECT_EQ(ShortFolder(app, folder), shown);
    app.settings.ShortPath = 0;
    EXPECT_EQ(ShortFolder(app, "c:\\a\\b\\c\\"), "");
}

TEST_F(OpenTest, JumpGoesDownOnlyAndLocationCountsRows) {
    EXPECT_EQ(Run(2, JumpToFolder), Texts{"Folder Found"});
    EXPECT_EQ(port.selectedRow, 5);
    EXPECT_EQ(Run(5, JumpToFolder), Texts{"Folder Not Found in List"});
    EXPECT_EQ(port.selectedRow, 5);
    EXPECT_EQ(Run(5, SpeakLocation), Texts{"Line 5 of  6 : Folder : sub"});
    app.settings.SearchType = 5;
    EXPECT_EQ(Run(1, SpeakLocation), Texts{"Line 1 of  6 : report.DOCX"});
}

}  // namespace
}  // namespace lumiseek
