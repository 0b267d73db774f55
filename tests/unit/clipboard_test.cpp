// Copy File and Copy Results: the file-list block, what reaches the clipboard and what is said.
#include <gtest/gtest.h>

#include "actions/clipboard.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using namespace std::string_literals;

TEST(ClipboardTest, FileListBlockIsTheHeaderThenTheUtf16PathAndTwoZeros) {
    // U+1F600 takes two UTF-16 units: 6 units, 20 + 2 * (6 + 2) bytes.
    EXPECT_EQ(DropFilesBlock("d:\\\xC3\xA9\xF0\x9F\x98\x80"),
              "\x14\0\0\0"s + std::string(12, '\0') + "\x01\0\0\0d\0:\0\\\0\xE9\0\x3D\xD8\x00\xDE\0\0\0\0"s);
}

TEST(ClipboardTest, CopyFileAndCopyResultsSayWhatHappenedAndABusyClipboardKeepsItsText) {
    test::FakePort port;
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
    EXPECT_EQ(port.SpokenTexts(), (std::vector<std::string>{
                                      "No Selection", "photos is not a file", "Search Results not Found",
                                      "Clipboard not Available", "Clipboard not Available",
                                      "Search Results Copied to Clipboard", "Copying File c:\\data\\a b.txt"}));
    EXPECT_EQ(port.beeps, 0);
}

}  // namespace
}  // namespace lumiseek
