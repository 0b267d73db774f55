// The check that an update was signed with the release key before it is installed.
// A signature is ECDSA P-256 over the SHA-256 of the file, stored raw: r then s, 32 bytes each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/port.h"

namespace lumiseek {

// The release's public key (update_key.cpp): X then Y of the P-256 point as 128 hex digits.
extern const char kReleaseKey[];

// The environment variable that names another public key (same form) in place of the release key.
inline constexpr const char* kUpdateKeyVariable = "LUMISEEK_UPDATE_KEY";

// The 64 bytes of a key written as 128 hex digits; none for anything else.
std::optional<std::string> PublicKeyFromHex(std::string_view hex);

// The signature in a signature file: exactly 64 bytes, r then s. None for any other length, which
// includes the DER form (a SEQUENCE of two INTEGERs, 70 to 72 bytes) that OpenSSL writes.
std::optional<std::string> RawSignature(std::string_view file);

// The key updates are checked against: LUMISEEK_UPDATE_KEY when it is set, else the release key.
// None when the variable is set but is not a key: nothing can be verified then.
std::optional<std::string> UpdateKey(Port& port);

// True when `signatureFile` holds a signature of `data` made with UpdateKey's private half.
bool SignedByRelease(Port& port, const std::string& data, const std::string& signatureFile);

}  // namespace lumiseek
