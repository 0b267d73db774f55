// The online update: which downloads are installed, the signature check, the files left in the
// program's folder, and what is spoken.
#include <gtest/gtest.h>

#include "actions/update.h"
#include "actions/update_signature.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

// 100,000 bytes: an MZ header pointing at a PE header at 0x80 naming the machine, with these
// characteristics and a 64-bit optional header.
std::string Program(uint16_t machine = 0x8664, uint16_t flags = 0x0022) {
    std::string b(100000, '\0');
    b.replace(0, 2, "MZ"), b[0x3C] = '\x80', b.replace(0x80, 4, std::string("PE\0\0", 4));
    b[0x84] = char(machine & 0xFF), b[0x85] = char(machine >> 8);
    b[0x96] = char(flags & 0xFF), b[0x97] = char(flags >> 8), b[0x98] = 0x0B, b[0x99] = 2;
    return b;
}

const std::string kRaw = std::string(32, '\x11') + std::string(32, '\x82');  // r then s
// The same r and s as OpenSSL writes them: DER, s with a leading zero byte.
const std::string kDer = "\x30\x45\x02\x20" + std::string(32, '\x11') + "\x02\x21" + '\0' + std::string(32, '\x82');

TEST(Update, OnlyA64BitWindowsProgramOfPlausibleSizeIsAccepted) {
    EXPECT_TRUE(IsWindowsProgram(Program(), 100000));
    for (const std::string& refused : {"<html>" + std::string(99994, ' '), Program(0x014C), Program(0x8664, 0x2022),
                                       Program().substr(0, 0x90)}) {
        EXPECT_FALSE(IsWindowsProgram(refused, 100000));
    }
    EXPECT_FALSE(IsWindowsProgram(Program(), 1000));
}

TEST(Update, OnlyTheRawSixtyFourBytesSignedWithTheReleaseKeyOrTheVariablesKeyPass) {
    FakePort port;
    const std::string program = "MZ new program";
    EXPECT_EQ(RawSignature(kRaw), kRaw);
    for (const std::string& notRaw : {kDer, kRaw + "\n", std::string()}) EXPECT_EQ(RawSignature(notRaw), std::nullopt);
    port.signatures[{PublicKeyFromHex(kReleaseKey).value_or(""), program}] = kRaw;
    EXPECT_TRUE(SignedByRelease(port, program, kRaw));
    EXPECT_FALSE(SignedByRelease(port, program + "!", kRaw));
    EXPECT_FALSE(SignedByRelease(port, program, kDer));

    // Hex in either case, X then Y, high digit first.
    std::string other = "00fF7a" + std::string(122, '0');
    port.environment["LUMISEEK_UPDATE_KEY"] = other;
    EXPECT_EQ(UpdateKey(port), std::string("\x00\xff\x7a", 3) + std::string(61, '\0'));
    EXPECT_FALSE(SignedByRelease(port, program, kRaw));
    port.signatures[{UpdateKey(port).value_or(""), program}] = kRaw;
    EXPECT_TRUE(SignedByRelease(port, program, kRaw));

    // A variable that is not a key verifies nothing: it never falls back to the release key.
    for (std::string bad : {"04" + other, other.substr(1), other.substr(0, 127) + "g"}) {
        port.environment["LUMISEEK_UPDATE_KEY"] = bad;
        EXPECT_EQ(UpdateKey(port), std::nullopt) << bad;
    }
    EXPECT_FALSE(SignedByRelease(port, program, kRaw));
}

ProgramVersion Version(std::array<uint16_t, 4> number, std::string name = "lumiseek.exe") {
    return ProgramVersion{number, std::move(name)};
}

TEST(Update, OnlyTheSameProgramInAHigherVersionIsInstalled) {
    const std::array<uint16_t, 4> running{4, 2, 0, 0};
    // Each part weighs more than all the parts after it.
    for (auto higher : {std::array<uint16_t, 4>{4, 2, 0, 1}, {4, 2, 1, 0}, {4, 3, 0, 0}, {5, 0, 0, 0}, {4, 10, 0, 0}})
        EXPECT_EQ(JudgeUpdate(Version(higher), running), UpdateVerdict::Install) << higher[1] << higher[2] << higher[3];
    EXPECT_EQ(JudgeUpdate(Version({4, 2, 0, 0}, "LumiSeek.EXE"), running), UpdateVerdict::UpToDate);
    for (auto older : {std::array<uint16_t, 4>{4, 1, 9, 9}, {3, 65535, 65535, 65535}, {4, 1, 0, 0}})
        EXPECT_EQ(JudgeUpdate(Version(older), running), UpdateVerdict::Refused);
    for (const char* other : {"es.exe", "", "lumiseek.exe.old", "start_lumiseek.exe"})
        EXPECT_EQ(JudgeUpdate(Version({9, 0, 0, 0}, other), running), UpdateVerdict::Refused) << other;
    EXPECT_EQ(JudgeUpdate(std::nullopt, running), UpdateVerdict::Refused);
    // The running version is the one the build was given.
    EXPECT_EQ(kRunningVersion, (std::array<uint16_t, 4>{LUMISEEK_VERSION_MAJOR, LUMISEEK_VERSION_MINOR,
                                                         LUMISEEK_VERSION_BUILD, LUMISEEK_VERSION_REVISION}));
    EXPECT_EQ(std::string(kVersion).find(std::to_string(LUMISEEK_VERSION_MAJOR) + "."), 0u);
}

// A program folder with a running lumiseek.exe, an older lumiseek.old and the restarter, and a newer
// signed program at the update address.
struct UpdateFixture : ::testing::Test {
    FakePort port;
    App app{port};
    const std::string newer = Program();
    void SetUp() override {
        port.files = {{"lumiseek.exe", "running"}, {"lumiseek.old", "older"},
                      {"C:\\Program Files\\Lumiseek\\start_lumiseek.exe", "restarter"}};
        port.signatures[{PublicKeyFromHex(kReleaseKey).value_or(""), newer}] = kRaw;
        port.versions[newer] = Version({4, 2, 1, 0});
        port.served = newer, port.servedSignature = kRaw;
    }
    // Runs the update; true when it said `said` last and left the program as it was.
    bool Kept(const std::string& said) {
        UpdateExe(app);
        return port.LastSpoken() == said && port.files["lumiseek.exe"] == "running" &&
               port.files["lumiseek.old"] == "older" && !port.FileExists("lumiseek.tmp") &&
               !port.FileExists("lumiseek.sig") && !port.ended && app.RestartAfterUpdate == 0;
    }
};

TEST_F(UpdateFixture, AnythingButASignedNewerProgramKeepsTheInstalledOne) {
    const std::string failed = "Lumiseek Update Failed";
    auto kept = [&](std::optional<std::string> served, const std::string& said = "Lumiseek Update Failed") {
        port.served = served;
        return Kept(said);
    };
    EXPECT_TRUE(kept("<html>Not Found</html>") && kept(std::nullopt));
    // Not signed, or signed over other bytes.
    port.versions[Program() + "!"] = Version({4, 2, 1, 0});
    EXPECT_TRUE(kept(Program() + "!"));
    port.servedSignature = std::nullopt;
    EXPECT_TRUE(kept(newer));
    EXPECT_EQ(port.downloads.back(), "https://lumiseek.org/download/lumiseek.exe.sig");
    // A signature longer than 64 bytes is never taken in whole; a download over 64 MiB neither.
    port.servedSignature = kRaw + "x";
    EXPECT_TRUE(kept(newer));
    EXPECT_EQ(std::vector<uint64_t>(port.downloadLimits.end() - 2, port.downloadLimits.end()),
              (std::vector<uint64_t>{64ull << 20, 64}));
    port.servedSignature = kRaw;
    // Signed, but the same version, an older one, or another program.
    port.versions[newer] = Version({4, 2, 0, 0});
    EXPECT_TRUE(kept(newer, "Lumiseek is up to date"));
    port.versions[newer] = Version({4, 1, 9, 0});
    EXPECT_TRUE(kept(newer));
    port.versions[newer] = Version({9, 0, 0, 0}, "es.exe");
    EXPECT_TRUE(kept(newer));
    port.versions.erase(newer);
    EXPECT_TRUE(kept(newer));
    // Cancelled with Esc, during the program or its signature.
    port.versions[newer] = Version({4, 2, 1, 0});
    port.downloadEnd = DownloadEnd::Cancelled;
    EXPECT_TRUE(kept(newer, "Lumiseek Update Cancelled"));
    port.downloadEnd.reset(), port.signatureEnd = DownloadEnd::Cancelled;
    EXPECT_TRUE(kept(newer, "Lumiseek Update Cancelled"));
    port.signatureEnd.reset();
    // The download cannot take the program's name: the program is put back (lumiseek.old is gone).
    port.renameRefused = "lumiseek.tmp";
    UpdateExe(app);
    EXPECT_EQ(port.files["lumiseek.exe"], "running");
    EXPECT_EQ(port.LastSpoken(), failed);
    EXPECT_FALSE(port.FileExists("lumiseek.tmp") || port.ended);
    port.renameRefused.clear();
    port.files["lumiseek.old"] = "older";

    // Without the restarter nothing is fetched, and nothing renamed.
    port.files.erase("C:\\Program Files\\Lumiseek\\start_lumiseek.exe");
    const size_t fetched = port.downloads.size();
    EXPECT_TRUE(kept(newer));
    EXPECT_EQ(port.downloads.size(), fetched);
}

TEST_F(UpdateFixture, ProgressIsSaidEveryTenSecondsAndThirtyQuietSecondsEndTheDownload) {
    // received, total (0: not announced), elapsed and quiet milliseconds, as each download goes.
    port.progress = {{0, 0, 1000, 1000},     {10, 0, 10000, 0},         {20, 1000, 11000, 0},
                     {400, 1000, 19500, 0},  {400, 1000, 20500, 0},     {999, 1000, 29999, 9499},
                     {999, 1000, 39999, 19499}, {999, 1000, 59999, 29999}};
    const Texts progress{"Downloading, 2 percent", "Downloading, 40 percent", "Downloading, 99 percent",
                         "Downloading, 99 percent"};
    port.progress.push_back({999, 1000, 60000, 30000});
    EXPECT_TRUE(Kept("Lumiseek Update Failed"));
    Texts said{"Updating Lumiseek", "Downloading. Press Escape to cancel."};
    said.insert(said.end(), progress.begin(), progress.end());
    said.push_back("Lumiseek Update Failed");
    EXPECT_EQ(port.SpokenTexts(), said);
    EXPECT_EQ(port.spoken[2].flags, SPF_ASYNC | SPF_PURGEBEFORESPEAK);

    // Both downloads are watched alike: the program, then its signature.
    port.spoken.clear();
    port.progress.pop_back();
    UpdateExe(app);
    said.pop_back();
    said.insert(said.end(), progress.begin(), progress.end());
    said.push_back("Update successful. Restarting Lumiseek.");
    EXPECT_EQ(port.SpokenTexts(), said);
    EXPECT_EQ(ProgressText(0, 3), "Downloading, 0 percent");
    EXPECT_EQ(ProgressText(3, 3), "Downloading, 100 percent");
}

TEST_F(UpdateFixture, ANewerSignedProgramIsInstalledAndTheRestarterStartedByItsFullPath) {
    port.spoken.clear();
    port.environment["LUMISEEK_UPDATE_URL"] = "http://127.0.0.1:8000/new.exe";
    UpdateExe(app);
    EXPECT_EQ(port.downloads, (Texts{"http://127.0.0.1:8000/new.exe", "http://127.0.0.1:8000/new.exe.sig"}));
    EXPECT_EQ(port.files["lumiseek.exe"], newer);
    EXPECT_EQ(port.files["lumiseek.old"], "running");
    EXPECT_FALSE(port.FileExists("lumiseek.tmp") || port.FileExists("lumiseek.sig"));
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Updating Lumiseek", 2}, {"Downloading. Press Escape to cancel.", 1},
                                                {"Update successful. Restarting Lumiseek.", 2}}));
    EXPECT_TRUE(port.ended && app.RestartAfterUpdate == 1);
    StartRestarter(app);
    const std::string restarter = "\"C:\\Program Files\\Lumiseek\\start_lumiseek.exe\" 4242";
    EXPECT_EQ(port.started, (Texts{restarter}));
    port.startsFailing = 1;  // a restarter that cannot start: the new program is started at once
    StartRestarter(app);
    EXPECT_EQ(port.started, (Texts{restarter, restarter, "\"C:\\Program Files\\Lumiseek\\lumiseek.exe\""}));
}

TEST_F(UpdateFixture, ARestoredUpdateIsReportedOnceAtTheNextStart) {
    const std::string said = "The last update could not start; the previous version was restored";
    ReportRestoredUpdate(app);
    port.files["update.log"] = "Reported at start.\r\n\r\n";
    ReportRestoredUpdate(app);
    EXPECT_TRUE(port.spoken.empty());
    const std::string line = "Restored 2026-01-02 03:04:05: the new lumiseek.exe ended at once with exit code 1";
    port.files["update.log"] = std::string(70000, '.') + "\r\n" + line + "\r\n";
    ReportRestoredUpdate(app);
    ReportRestoredUpdate(app);
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{said, SPF_ASYNC}}));
    // The log keeps the line; a long one keeps only its end.
    EXPECT_NE(port.files["update.log"].find(line + "\r\nReported at start.\r\n"), std::string::npos);
    EXPECT_LT(port.files["update.log"].size(), 8000u);
}

}  // namespace
}  // namespace lumiseek
