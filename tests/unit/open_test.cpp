// Acting on the selected result and on the results: what the shell, the clipboard and the printer
// are handed, which row is selected, what is spoken; the image preview: where the image lands in the
// pane, what the pane shows for each kind of row, and the commands that change it.
#include <gtest/gtest.h>

#include "actions/clipboard.h"
#include "actions/open.h"
#include "actions/print.h"
#include "search/short_folder.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"
#include "preview/preview.h"

namespace lumiseek {
namespace {

using namespace std::string_literals;

struct OpenTest : ::testing::Test {
    FakePort port;
    App app{port};
    OpenTest() {
        port.associations[".docx"] = "Word";
        port.associations[".md"] = "Notes";
        port.associations[".vbs"] = "Script Host";
        for (std::string name : {"report.DOCX", "readme", "archive.tar.gz", ".do", "sub", "b.txt", "a.MD", "run.vbs"})
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
    EXPECT_EQ(Run(0, OpenLvFile), Texts{"No Selection"});
    // Outside the lists: a type with an opener opens with it, a script only shows its folder.
    EXPECT_EQ(Run(7, OpenLvFile), Texts{"Using Notes to Open a.MD"});
    EXPECT_EQ(Run(8, OpenLvFile), Texts{"Cannot Open File. Opening Parent Folder."});
    EXPECT_EQ(port.opened, (Texts{"d:\\a\\b\\report.DOCX", "d:\\a\\b\\readme", "d:\\a\\b\\", "d:\\a\\b\\.do",
                                  "d:\\a\\b\\a.MD", "d:\\a\\b\\"}));
    app.Results.push_back({"song.mp3", "d:\\a\\b\\", "", "", "", 0, false});  // the first of its list
    EXPECT_EQ(Run(9, OpenLvFile), Texts{"Using Error: associated program not found to Open song.mp3"});
    // Programs are never started from the list, the first and last of that list alike.
    port.associations[".com"] = port.associations[".wsh"] = "Shell";  // even with an opener
    for (std::string name : {"tool.com", "job.wsh"}) {
        app.Results.back().Name = name;
        EXPECT_EQ(Run(9, OpenLvFile), Texts{"Cannot Open File. Opening Parent Folder."}) << name;
    }
    EXPECT_EQ(Run(9, OpenLvFolder), Texts{"Opening d:\\a\\b\\"});
    app.Results.back().Name = "<empty>";
    EXPECT_EQ(Run(9, OpenLvFile), Texts{"Empty"});
    const int type = app.settings.SearchType;
    app.settings.SearchType = 5;  // the settings list
    EXPECT_EQ(Run(1, OpenLvFolder), Texts{"Not Available in Help Mode"});
    app.settings.SearchType = type;

    // A path longer than 260 characters reaches the shell whole; its refusal follows the announcement.
    app.Results[5].Folder = "d:\\" + std::string(300, 'x') + "\\";
    port.shellRefuses = true;
    Run(6, OpenLvFile);
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Using Error: associated program not found to Open b.txt", 3},
                                                {"Cannot Open b.txt", 1}}));
    EXPECT_EQ(port.opened.back(), app.Results[5].Folder + "b.txt");
}

TEST_F(OpenTest, CtrlF1OpensTheHelpPageThenMagnorWithTheHoverMode) {
    app.settings.UseMagnor = 1, app.settings.UseHover = 2;
    port.program = "C:\\Program Files\\Lumiseek\\magnor.exe";
    OnHelp(app, true);
    EXPECT_TRUE(port.started.empty());  // not there: not started
    port.files["magnor.exe"] = "";
    OnHelp(app, true);
    EXPECT_EQ(port.started, Texts{"\"C:\\Program Files\\Lumiseek\\magnor.exe\"  96 1 0 1 1 0 0 0 0 0 2 0 0 0 0 0 1 0 0"});
    EXPECT_EQ(port.opened.size(), 2u);
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
    EXPECT_EQ(Run(5, SpeakLocation), Texts{"Line 5 of  8 : Folder : sub"});
    app.settings.SearchType = 5;
    EXPECT_EQ(Run(1, SpeakLocation), Texts{"Line 1 of  8 : report.DOCX"});
}

TEST(Clipboard, CopyFileAndCopyResultsSayWhatHappenedAndABusyClipboardKeepsItsText) {
    // The file-list block: its header, the UTF-16 path (U+1F600 takes two units) and two zeros.
    EXPECT_EQ(DropFilesBlock("d:\\\xC3\xA9\xF0\x9F\x98\x80"),
              "\x14\0\0\0"s + std::string(12, '\0') + "\x01\0\0\0d\0:\0\\\0\xE9\0\x3D\xD8\x00\xDE\0\0\0\0"s);
    FakePort port;
    App app{port};
    port.SetClipboardText("kept");
    app.Results = {ResultRow{"a b.txt ", " c:\\data\\"}, ResultRow{"photos", "c:\\data\\"}};
    port.files["c:\\data\\a b.txt"] = "x";
    const auto run = [&](int command, int row, bool locked) {
        port.selectedRow = row;
        port.clipboardLocked = locked;
        OnCommand(app, command, 0);
    };
    run(cmd::CopySelectedFile, 0, false);
    run(cmd::CopySelectedFile, 2, false);
    run(cmd::CopyResults, 0, false);
    port.files["results.txt"] = "Size,Date Modified,Filename\r\n3,05/17/2023 10:22,c:\\caf\xC3\xA9\r\n";  // UTF-8
    run(cmd::CopyResults, 0, true);
    run(cmd::CopySelectedFile, 1, true);
    EXPECT_EQ(port.clipboard, "kept");
    run(cmd::CopyResults, 0, false);
    EXPECT_EQ(port.clipboard, port.files["results.txt"]);
    run(cmd::CopySelectedFile, 1, false);
    EXPECT_EQ(port.clipboardFiles, DropFilesBlock("c:\\data\\a b.txt"));
    EXPECT_EQ(port.SpokenTexts(), (Texts{"No Selection", "photos is not a file", "Search Results not Found",
                                         "Clipboard not Available", "Clipboard not Available",
                                         "Search Results Copied to Clipboard", "Copying File c:\\data\\a b.txt"}));
    EXPECT_EQ(port.beeps, 0);
}

TEST(Print, TheLimitCountsTheWholePrintPagesBreakWhenFullAndEveryOutcomeIsHeard) {
    FakePort port;
    App app{port};
    for (int i = 1; i <= 200; ++i) app.Results.push_back({"n" + std::to_string(i), "c:\\", "", "", "", 0, 0});
    app.settings.FontSize = 36, app.settings.MaxPrintLines = 3;
    PrintSearch(app);
    EXPECT_EQ(port.printed, (std::vector<Texts>{{"n1", "n2", "n3"}}));
    EXPECT_EQ(port.clipboard, "n1\r\nn2\r\nn3");
    EXPECT_EQ(port.printPoints, 12);
    app.settings.MaxPrintLines = 100, app.settings.PrintFont = 1;
    PrintSearch(app);
    ASSERT_EQ(port.printed.size(), 2u);
    EXPECT_EQ((Texts{port.printed[0].back(), port.printed[1][0], port.printed[1].back()}),
              (Texts{"n60", "n61", "n100"}));
    EXPECT_EQ(port.printPoints, 36);
    app.settings.MaxPrintLines = 0, app.settings.PrintFont = 0;
    port.printStart = {PrintStart::Ready, 0};  // a font taller than the page: still a line to a page
    PrintSearch(app);
    EXPECT_EQ(port.printed.size(), 200u);
    port.clipboard.clear();
    port.printStart.outcome = PrintStart::Cancelled;
    PrintSearch(app);
    EXPECT_TRUE(port.clipboard.starts_with("n1\r\nn2\r\n") && port.clipboard.ends_with("\r\nn200"));
    port.printStart.outcome = PrintStart::Ready;
    port.printFails = true;
    PrintSearch(app);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Printing With Small Font ...", "Printing With Visual Font ...",
                                         "Printing With Small Font ...", "Printing With Small Font ...",
                                         "Printing Cancelled", "Printing With Small Font ...", "Printing Failed"}));
}

TEST(PreviewGeometry, ShrinksOrFillsByOneRatioAndCentresWithHalvesToEven) {
    EXPECT_EQ(ScaledImageRect(100, 50, 400, 300, false), (Rect{150, 125, 100, 50}));
    EXPECT_EQ(ScaledImageRect(100, 50, 400, 300, true), (Rect{0, 50, 400, 200}));
    EXPECT_EQ(ScaledImageRect(800, 600, 400, 300, false), (Rect{0, 0, 400, 300}));
    EXPECT_EQ(ScaledImageRect(1000, 200, 400, 300, true), (Rect{0, 110, 400, 80}));
    EXPECT_EQ(ScaledImageRect(5, 7, 10, 10, false), (Rect{2, 2, 5, 7}));  // 2.5 and 1.5 both to 2
    EXPECT_EQ(ScaledImageRect(100, 50, 0, 300, true), std::nullopt);
}

TEST(Preview, ImagesAreDrawnOtherFilesMarkedFoldersClearedAndTheCommandsRedraw) {
    FakePort port;
    App app{port};
    app.settings.ShowPreview = 1, app.settings.PreviewResize = 0, app.settings.ImageBG = 1, app.settings.FG = 65535;
    port.files = {{"c:\\p\\IMG_0001.JPG", ""}, {"c:\\p\\notes.txt", ""}, {"c:\\p\\broken.png", ""}};
    port.images["c:\\p\\IMG_0001.JPG"] = {100, 50};
    auto shown = [&](const std::string& path) {
        port.drawn.clear();
        SetPreviewPath(app, path);
        PreviewSelection(app);
        return port.drawn;
    };
    // The mark is written in white on black, whatever the scheme's text colour.
    const std::string mark = "write 50,50 Not An Image 16777215";
    EXPECT_EQ(shown("c:\\p\\notes.txt"), (Texts{"clear 0", mark}));
    EXPECT_EQ(shown("c:\\p\\broken.png"), (Texts{"clear 0", "load c:\\p\\broken.png", mark}));
    EXPECT_EQ(shown("c:\\p\\"), (Texts{"clear 0"}));
    EXPECT_EQ(shown("c:\\p\\IMG_0001.JPG"), (Texts{"clear 0", "load c:\\p\\IMG_0001.JPG", "stretch 150,125 100x50"}));
    EXPECT_EQ(port.redrawn, (std::vector<int>(4, ctl::Preview)));
    // The decoded image serves again until the file changes; a failed decode is tried again.
    EXPECT_EQ(shown("c:\\p\\IMG_0001.JPG"), (Texts{"clear 0", "stretch 150,125 100x50"}));
    EXPECT_EQ(shown("c:\\p\\broken.png")[1], "load c:\\p\\broken.png");
    port.writeTimes["c:\\p\\IMG_0001.JPG"] = 7;
    port.images["c:\\p\\IMG_0001.JPG"] = {1000, 200};
    shown("c:\\p\\broken.png");
    EXPECT_EQ(shown("c:\\p\\IMG_0001.JPG"), (Texts{"clear 0", "load c:\\p\\IMG_0001.JPG", "stretch 0,110 400x80"}));
    app.settings.ImageBG = 0;  // black on white
    EXPECT_EQ(shown("c:\\p\\notes.txt"), (Texts{"clear 16777215", "write 50,50 Not An Image 0"}));
    app.settings.ImageBG = 1;
    port.images["c:\\p\\IMG_0001.JPG"] = {100, 50};
    port.writeTimes["c:\\p\\IMG_0001.JPG"] = 8;
    EXPECT_EQ(shown("c:\\p\\IMG_0001.JPG").size(), size_t{3});

    // A new selection clears the pane at once and decodes only once the selection has rested.
    ConnectDispatcher(app);
    app.Results = {ResultRow{"notes.txt"}, ResultRow{"IMG_0001.JPG"}};
    app.Results[1].Folder = "c:\\p\\";
    port.drawn.clear();
    OnListSelectionChanged(app, 2);
    EXPECT_EQ(std::make_pair(port.drawn, port.LastSpoken()), std::make_pair(Texts{"clear 0", "later 150"}, std::string("IMG_0001.JPG")));
    OnPreviewDue(app);
    EXPECT_EQ(port.drawn.back(), "stretch 150,125 100x50");
    port.spoken.clear();

    for (int i = 0; i < 3; ++i) OnCommand(app, cmd::ImageBGColor, 0);
    EXPECT_EQ(port.drawn[port.drawn.size() - 6], "clear 16711680");  // each step redraws at once
    OnCommand(app, cmd::PreviewClick, 0);
    EXPECT_EQ(port.drawn.back(), "stretch 0,50 400x200");
    EXPECT_EQ(port.focused, ctl::ResultsList);
    OnCommand(app, cmd::TogglePreview, 0);
    EXPECT_EQ(shown("c:\\p\\IMG_0001.JPG"), Texts{});
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Image Background is Blue", "Image Background is White",
                                         "Image Background is Black", "Preview Resize is ON", "Show Preview is OFF"}));
    EXPECT_EQ(port.beeps, 5);
}

}  // namespace
}  // namespace lumiseek
