#include "actions/update_signature.h"

namespace lumiseek {

namespace {

constexpr size_t kKeyBytes = 64;
constexpr size_t kSignatureBytes = 64;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::string> PublicKeyFromHex(std::string_view hex) {
    if (hex.size() != 2 * kKeyBytes) return std::nullopt;
    std::string key;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        key += static_cast<char>(high * 16 + low);
    }
    return key;
}

std::optional<std::string> RawSignature(std::string_view file) {
    if (file.size() != kSignatureBytes) return std::nullopt;
    return std::string(file);
}

std::optional<std::string> UpdateKey(Port& port) {
    auto chosen = port.EnvironmentVariable(kUpdateKeyVariable);
    return PublicKeyFromHex(chosen ? *chosen : kReleaseKey);
}

bool SignedByRelease(Port& port, const std::string& data, const std::string& signatureFile) {
    auto key = UpdateKey(port);
    auto signature = RawSignature(signatureFile);
    return key && signature && port.VerifySignature(*key, data, *signature);
}

}  // namespace lumiseek
