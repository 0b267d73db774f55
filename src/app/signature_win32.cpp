// ECDSA P-256 / SHA-256 signature check with the Windows cryptography API (BCrypt).
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/port_win32.h"

namespace lumiseek {

namespace {

constexpr ULONG kCoordinateBytes = 32;

bool Ok(NTSTATUS status) { return status >= 0; }

PUCHAR Bytes(const std::string& s) { return reinterpret_cast<PUCHAR>(const_cast<char*>(s.data())); }

bool Sha256(const std::string& data, UCHAR (&digest)[32]) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!Ok(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool done = Ok(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    // BCryptHashData takes at most 4 GB a call.
    constexpr size_t kChunk = 1 << 30;
    for (size_t at = 0; done && at < data.size(); at += kChunk) {
        ULONG part = static_cast<ULONG>(std::min(kChunk, data.size() - at));
        done = Ok(BCryptHashData(hash, Bytes(data) + at, part, 0));
    }
    done = done && Ok(BCryptFinishHash(hash, digest, sizeof digest, 0));
    if (hash != nullptr) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return done;
}

}  // namespace

bool VerifyEcdsaP256(const std::string& publicKey, const std::string& data, const std::string& signature) {
    if (publicKey.size() != 2 * kCoordinateBytes || signature.size() != 2 * kCoordinateBytes) return false;
    UCHAR digest[32];
    if (!Sha256(data, digest)) return false;

    // BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + publicKey.size());
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateBytes};
    std::copy_n(reinterpret_cast<const UCHAR*>(&header), sizeof header, blob.begin());
    std::copy(publicKey.begin(), publicKey.end(), blob.begin() + sizeof header);

    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!Ok(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) return false;
    BCRYPT_KEY_HANDLE key = nullptr;
    bool verified = Ok(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &key, blob.data(),
                                           static_cast<ULONG>(blob.size()), 0)) &&
                    BCryptVerifySignature(key, nullptr, digest, sizeof digest, Bytes(signature),
                                          static_cast<ULONG>(signature.size()), 0) == 0;
    if (key != nullptr) BCryptDestroyKey(key);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return verified;
}

}  // namespace lumiseek
