// The online update: the newest lumiseek.exe downloaded beside the running one, checked, put in its
// place (the previous one kept as lumiseek.old), and the program restarted by start_lumiseek.exe.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumiseek {

struct App;

// Where the new executable is fetched from; the environment variable LUMISEEK_UPDATE_URL replaces
// it (for tests against a local server).
inline constexpr const char* kUpdateAddress = "https://lumiseek.org/download/lumiseek.exe";
inline constexpr const char* kUpdateAddressVariable = "LUMISEEK_UPDATE_URL";

// True when `head`, the first bytes of a file of `size` bytes, starts a 64-bit Windows program (an
// MZ header whose PE header names the x64 machine, an executable image, not a library) and the
// size is plausible for one.
bool IsWindowsProgram(std::string_view head, uint64_t size);

void UpdateExe(App& app);

}  // namespace lumiseek
