// The update's signature check: which key is used, which signature form is taken.
#include <gtest/gtest.h>

#include "actions/update_signature.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

const std::string kProgram = "MZ new program";
const std::string kRaw = std::string(32, '\x11') + std::string(32, '\x82');  // r then s
// The same r and s as OpenSSL writes them: DER, s with a leading zero byte.
const std::string kDer = "\x30\x45\x02\x20" + std::string(32, '\x11') + "\x02\x21" + '\0' + std::string(32, '\x82');

TEST(UpdateSignature, OnlyTheRawSixtyFourBytesAreASignature) {
    EXPECT_EQ(RawSignature(kRaw), kRaw);
    EXPECT_EQ(RawSignature(kDer), std::nullopt);
    EXPECT_EQ(RawSignature(kRaw + "\n"), std::nullopt);
    EXPECT_EQ(RawSignature(""), std::nullopt);
}

TEST(UpdateSignature, TheReleaseKeyUnlessTheVariableNamesAnother) {
    FakePort port;
    const auto release = PublicKeyFromHex(kReleaseKey);
    ASSERT_TRUE(release);
    port.signatures[{*release, kProgram}] = kRaw;
    EXPECT_TRUE(SignedByRelease(port, kProgram, kRaw));
    EXPECT_FALSE(SignedByRelease(port, kProgram + "!", kRaw));
    EXPECT_FALSE(SignedByRelease(port, kProgram, kDer));

    // Hex in either case, X then Y, high digit first.
    std::string other = "00fF7a" + std::string(122, '0');
    port.environment[kUpdateKeyVariable] = other;
    EXPECT_EQ(UpdateKey(port), std::string("\x00\xff\x7a", 3) + std::string(61, '\0'));
    EXPECT_FALSE(SignedByRelease(port, kProgram, kRaw));
    port.signatures[{*UpdateKey(port), kProgram}] = kRaw;
    EXPECT_TRUE(SignedByRelease(port, kProgram, kRaw));

    // A variable that is not a key verifies nothing: it never falls back to the release key.
    for (std::string bad : {"04" + other, other.substr(1), other.substr(0, 127) + "g"}) {
        port.environment[kUpdateKeyVariable] = bad;
        EXPECT_EQ(UpdateKey(port), std::nullopt) << bad;
    }
    EXPECT_FALSE(SignedByRelease(port, kProgram, kRaw));
}

}  // namespace
}  // namespace lumiseek
