#include "actions/update_signature.h"

namespace lumiseek {

// The public half of the release key: every update must be signed with its private half.
// X then Y of the ECDSA P-256 point, 32 bytes each, in hex.
//
// When the release key changes, print the new one with
//     scripts/sign-release.py public-key NEW-KEY.pem
// and put it here. Programs built with the old value then refuse updates signed with the new key,
// so their users install the first release built with it by hand.
const char kReleaseKey[] =
    "b693a891b1e52b3bc6f2a3b069bb87964eec3e3e69ffa27cec05ccb304538742"
    "205c070d380865d8200903b6bb072e3bad9bcf95ef80b02ce7c9dff4d50fcd5a";

}  // namespace lumiseek
