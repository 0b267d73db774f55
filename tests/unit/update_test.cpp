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

TEST(Update, AProgramIsInstalledAndRestartedAnythingElseKeepsTheInstalledOne) {
    FakePort port;
    App app{port};
    port.files = {{"lumiseek.exe", "running"}, {"lumiseek.old", "older"}};
    auto refused = [&](std::optional<std::string> served, const std::string& renameRefused = "") {
        port.served = served, port.renameRefused = renameRefused;
        UpdateExe(app);
        return port.LastSpoken() == "Lumiseek Update Failed" && port.files["lumiseek.exe"] == "running" &&
               !port.FileExists("lumiseek.tmp") && !port.FileExists("lumiseek.sig") && !port.ended &&
               app.RestartAfterUpdate == 0;
    };
    port.signatures[{PublicKeyFromHex(kReleaseKey).value_or(""), Program()}] = kRaw;
    EXPECT_TRUE(refused("<html>Not Found</html>") && refused(std::nullopt));
    // A program not signed, or signed over other bytes.
    EXPECT_TRUE(refused(Program()));
    port.servedSignature = kRaw;
    EXPECT_TRUE(refused(Program() + "!"));
    EXPECT_EQ(port.files["lumiseek.old"], "older");
    EXPECT_TRUE(refused(Program(), "lumiseek.tmp"));
    EXPECT_EQ(port.downloads.back(), "https://lumiseek.org/download/lumiseek.exe.sig");

    port.spoken.clear();
    port.environment["LUMISEEK_UPDATE_URL"] = "http://127.0.0.1:8000/new.exe";
    EXPECT_FALSE(refused(Program()));
    EXPECT_EQ(Texts(port.downloads.end() - 2, port.downloads.end()),
              (Texts{"http://127.0.0.1:8000/new.exe", "http://127.0.0.1:8000/new.exe.sig"}));
    EXPECT_EQ(port.files["lumiseek.exe"], Program());
    EXPECT_EQ(port.files["lumiseek.old"], "running");
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Updating Lumiseek", 2},
                                                {"Downloading. Lumiseek does not respond until the download ends.", 1},
                                                {"Update successful. Restarting Lumiseek.", 2}}));
    EXPECT_TRUE(port.ended && app.RestartAfterUpdate == 1);
}

}  // namespace
}  // namespace lumiseek
