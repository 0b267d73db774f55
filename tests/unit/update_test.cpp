// The online update: which downloads are installed, the files left in the program's folder, and
// what is spoken.
#include <gtest/gtest.h>

#include "actions/update.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

// An MZ header pointing at a PE header at 0x80: machine, characteristics, optional header; padded.
std::string Program(uint16_t machine = 0x8664, uint16_t flags = 0x0022, uint16_t magic = 0x20B) {
    std::string b(100000, '\0');
    b.replace(0, 2, "MZ"), b[0x3C] = '\x80', b.replace(0x80, 4, std::string("PE\0\0", 4));
    for (auto [at, v] : {std::pair{0x84, machine}, {0x96, flags}, {0x98, magic}}) {
        b[at] = char(v & 0xFF), b[at + 1] = char(v >> 8);
    }
    return b;
}

TEST(Update, OnlyA64BitWindowsProgramOfPlausibleSizeIsAccepted) {
    EXPECT_TRUE(IsWindowsProgram(Program(), 100000));
    EXPECT_FALSE(IsWindowsProgram("<html>" + std::string(99994, ' '), 100000));
    EXPECT_FALSE(IsWindowsProgram(Program(0x014C), 100000));
    EXPECT_FALSE(IsWindowsProgram(Program(0x8664, 0x2022), 100000));  // a library
    EXPECT_FALSE(IsWindowsProgram(Program(0x8664, 0x0022, 0x10B), 100000));
    EXPECT_FALSE(IsWindowsProgram(Program().substr(0, 0x90), 100000));
    EXPECT_FALSE(IsWindowsProgram(Program(), 1000));
}

TEST(Update, AProgramIsInstalledAndRestartedAnythingElseKeepsTheInstalledOne) {
    FakePort port;
    App app{port};
    port.files = {{"lumiseek.exe", "running"}, {"lumiseek.old", "older"}};
    auto refused = [&](std::optional<std::string> served, const std::string& renameRefused = "") {
        port.served = served, port.renameRefused = renameRefused;
        UpdateExe(app);
        return port.LastSpoken() == "Lumiseek Update Failed" && port.files["lumiseek.exe"] == "running" &&
               !port.FileExists("lumiseek.tmp") && !port.ended && app.RestartAfterUpdate == 0;
    };
    EXPECT_TRUE(refused("<html>Not Found</html>"));
    EXPECT_TRUE(refused(std::nullopt));
    EXPECT_EQ(port.files["lumiseek.old"], "older");
    EXPECT_TRUE(refused(Program(), "lumiseek.tmp"));
    EXPECT_EQ(port.downloads.back(), "https://lumiseek.org/download/lumiseek.exe");

    port.spoken.clear();
    port.environment["LUMISEEK_UPDATE_URL"] = "http://127.0.0.1:8000/new.exe";
    EXPECT_FALSE(refused(Program()));
    EXPECT_EQ(port.downloads.back(), "http://127.0.0.1:8000/new.exe");
    EXPECT_EQ(port.files, (std::map<std::string, std::string>{{"lumiseek.exe", Program()}, {"lumiseek.old", "running"}}));
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Updating Lumiseek", 2},
                                                {"Downloading. Lumiseek does not respond until the download ends.", 1},
                                                {"Update successful. Restarting Lumiseek.", 2}}));
    EXPECT_TRUE(port.ended && app.RestartAfterUpdate == 1);
}

}  // namespace
}  // namespace lumiseek
