// Copy File and Copy Results: the file-list block, what reaches the clipboard and what is said.
#include <gtest/gtest.h>

#include "actions/clipboard.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using test::FakePort;
using Texts = std::vector<std::string>;
using namespace std::string_literals;

TEST(DropFilesBlockTest, HeaderThenTheUtf16PathAndTwoEndingZeros) {
    // A character beyond the basic plane takes two UTF-16 units: 6 units, 20 + 2 * (6 + 2) bytes.
    const std::string expected = "\x14\0\0\0"s "\0\0\0\0\0\0\0\0"s "\0\0\0\0"s "\x01\0\0\0"s
                                 "d\0:\0\\\0\xE9\0\x3D\xD8\x00\xDE"s "\0\0\0\0"s;
    EXPECT_EQ(DropFilesBlock("d:\\\xC3\xA9\xF0\x9F\x98\x80"), expected);
    EXPECT_EQ(expected.size(), 36u);
}

struct ClipboardTest : ::testing::Test {
    FakePort port;
    App app{port};

    ClipboardTest() {
        port.SetClipboardText("kept");
        app.Results = {ResultRow{"a b.txt ", " c:\\data\\"}, ResultRow{"photos", "c:\\data\\"}};
        app.Results[1].IsFolder = 1;
        port.files["c:\\data\\a b.txt"] = "x";
    }
};

TEST_F(ClipboardTest, CopyFileRefusesWhatIsNoFileAndPutsTheTrimmedPathOnTheClipboard) {
    OnCommand(app, cmd::CopySelectedFile, 0);  // no row selected
    port.selectedRow = 2;
    OnCommand(app, cmd::CopySelectedFile, 0);
    EXPECT_EQ(port.clipboard, "kept");
    port.selectedRow = 1;
    port.clipboardLocked = true;
    OnCommand(app, cmd::CopySelectedFile, 0);
    EXPECT_EQ(port.clipboard, "kept");
    port.clipboardLocked = false;
    OnCommand(app, cmd::CopySelectedFile, 0);
    EXPECT_EQ(port.clipboardFiles, DropFilesBlock("c:\\data\\a b.txt"));
    EXPECT_EQ(port.SpokenTexts(), (Texts{"No Selection", "photos is not a file", "Clipboard not Available",
                                         "Copying File c:\\data\\a b.txt"}));
    EXPECT_EQ(port.beeps, 0);
}

TEST_F(ClipboardTest, CopyResultsDecodesTheFileAsTheImportDoes) {
    OnCommand(app, cmd::CopyResults, 0);  // no results file
    const std::string header = "Size,Date Modified,Filename\r\n";
    port.files["results.txt"] = header + ",05/17/2023 10:22,c:\\caf\xE9\r\n";  // Windows-1252
    port.clipboardLocked = true;
    OnCommand(app, cmd::CopyResults, 0);
    EXPECT_EQ(port.clipboard, "kept");
    port.clipboardLocked = false;
    OnCommand(app, cmd::CopyResults, 0);
    EXPECT_EQ(port.clipboard, header + ",05/17/2023 10:22,c:\\caf\xC3\xA9\r\n");
    port.files["results.txt"] = header + "3,05/17/2023 10:22,c:\\\xE2\x82\xAC.txt";  // UTF-8
    OnCommand(app, cmd::CopyResults, 0);
    EXPECT_EQ(port.clipboard, port.files["results.txt"]);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Search Results not Found", "Clipboard not Available",
                                         "Search Results Copied to Clipboard", "Search Results Copied to Clipboard"}));
    EXPECT_EQ(port.beeps, 0);
}

}  // namespace
}  // namespace lumiseek
