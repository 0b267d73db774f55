// The online update: which downloads are installed, the files left in the program's folder, and
// what is spoken.
#include <gtest/gtest.h>

#include "actions/update.h"
#include "base/app.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

// The start of a program: an MZ header pointing at a PE header at 0x80 with this machine, optional
// header and characteristics, padded to `size` bytes.
std::string Program(uint16_t machine = 0x8664, uint16_t magic = 0x20B, uint16_t flags = 0x0022,
                    size_t size = 100000) {
    std::string b(size, '\0');
    b[0] = 'M', b[1] = 'Z', b[0x3C] = '\x80';
    b.replace(0x80, 4, std::string("PE\0\0", 4));
    auto put16 = [&](size_t at, uint16_t v) { b[at] = char(v & 0xFF), b[at + 1] = char(v >> 8); };
    put16(0x84, machine);
    put16(0x96, flags);
    put16(0x98, magic);
    return b;
}

TEST(UpdateCheck, OnlyA64BitWindowsProgramOfPlausibleSizeIsAccepted) {
    EXPECT_TRUE(IsWindowsProgram(Program(), 100000));
    EXPECT_FALSE(IsWindowsProgram("<html><body>404 Not Found</body></html>" + std::string(70000, ' '), 70040));
    EXPECT_FALSE(IsWindowsProgram(Program(0x014C), 100000));            // a 32-bit program
    EXPECT_FALSE(IsWindowsProgram(Program(0x8664, 0x10B), 100000));     // its 32-bit optional header
    EXPECT_FALSE(IsWindowsProgram(Program(0x8664, 0x20B, 0x2022), 100000));  // a library
    EXPECT_FALSE(IsWindowsProgram(Program().substr(0, 0x90), 100000));  // cut inside the PE header
    EXPECT_FALSE(IsWindowsProgram(Program(), 1000));
}

struct UpdateTest : ::testing::Test {
    test::FakePort port;
    App app{port};
    UpdateTest() {
        port.files = {{"lumiseek.exe", "running"}, {"lumiseek.old", "older"}};
        port.served = Program();
    }
    void ExpectRefused(const std::string& installed) {
        UpdateExe(app);
        EXPECT_EQ(port.files["lumiseek.exe"], installed);
        EXPECT_FALSE(port.FileExists("lumiseek.tmp"));
        EXPECT_EQ(port.LastSpoken(), "Lumiseek Update Failed");
        EXPECT_FALSE(port.ended);
        EXPECT_EQ(app.RestartAfterUpdate, 0);
    }
};

TEST_F(UpdateTest, AProgramIsInstalledTheOldOneKeptAndTheWindowClosedForTheRestart) {
    port.environment["LUMISEEK_UPDATE_URL"] = "http://127.0.0.1:8000/new.exe";
    UpdateExe(app);
    EXPECT_EQ(port.downloads, (Texts{"http://127.0.0.1:8000/new.exe"}));
    EXPECT_EQ(port.files, (std::map<std::string, std::string>{{"lumiseek.exe", Program()}, {"lumiseek.old", "running"}}));
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Updating Lumiseek", 2},
                                                {"Downloading. Lumiseek does not respond until the download ends.", 1},
                                                {"Update successful. Restarting Lumiseek.", 2}}));
    EXPECT_TRUE(port.ended);
    EXPECT_EQ(app.RestartAfterUpdate, 1);
    port.environment.clear();
    UpdateExe(app);
    EXPECT_EQ(port.downloads.back(), "https://lumiseek.org/download/lumiseek.exe");
}

TEST_F(UpdateTest, ErrorPagesFailedDownloadsAndFailedRenamesKeepTheInstalledProgram) {
    port.served = "<html>Not Found</html>";
    ExpectRefused("running");
    EXPECT_EQ(port.files["lumiseek.old"], "older");
    port.served.reset();
    ExpectRefused("running");
    port.served = Program();
    port.renameRefused = "lumiseek.tmp";
    ExpectRefused("running");
    EXPECT_FALSE(port.FileExists("lumiseek.old"));
}

}  // namespace
}  // namespace lumiseek
