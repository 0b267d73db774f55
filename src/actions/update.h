// The online update: the newest lumiseek.exe downloaded beside the running one, checked (a program,
// signed with the release key, the same program in a higher version), put in its place (the previous
// one kept as lumiseek.old), and the program restarted by start_lumiseek.exe, which puts the previous
// one back when the new one cannot start.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/port.h"
#include "lumiseek_version.h"

namespace lumiseek {

struct App;

// Where the new executable is fetched from; the environment variable LUMISEEK_UPDATE_URL replaces
// it (for tests against a local server).
inline constexpr const char* kUpdateAddress = "https://lumiseek.org/download/lumiseek.exe";
inline constexpr const char* kUpdateAddressVariable = "LUMISEEK_UPDATE_URL";

// The running program's version (its version resource says the same).
inline constexpr std::array<uint16_t, 4> kRunningVersion = {LUMISEEK_VERSION_MAJOR, LUMISEEK_VERSION_MINOR,
                                                            LUMISEEK_VERSION_BUILD, LUMISEEK_VERSION_REVISION};

// The download's limits: its size, and how long it may go without a byte arriving.
inline constexpr uint64_t kMaxDownloadBytes = 64ull * 1024 * 1024;
inline constexpr int64_t kStallLimitMs = 30000;
inline constexpr int64_t kProgressEveryMs = 10000;

// The restarter, and the log it leaves beside the program when it had to put the previous version
// back: a line starting with kRestoredMark, which the next start reports once.
inline constexpr const char* kRestarter = "start_lumiseek.exe";
inline constexpr const char* kUpdateLog = "update.log";
inline constexpr const char* kRestoredMark = "Restored";

// True when `head`, the first bytes of a file of `size` bytes, starts a 64-bit Windows program (an
// MZ header whose PE header names the x64 machine, an executable image, not a library) and the
// size is plausible for one.
bool IsWindowsProgram(std::string_view head, uint64_t size);

// What a signed download's version resource means for the running program.
enum class UpdateVerdict { Install, UpToDate, Refused };

// Install: the same program (OriginalFilename lumiseek.exe, in any case) in a higher version;
// UpToDate: the same program in the same version; Refused: an older version, another program, or
// a file without a version resource.
UpdateVerdict JudgeUpdate(const std::optional<ProgramVersion>& offered, const std::array<uint16_t, 4>& running);

// The progress spoken while a download of known size runs: "Downloading, 40 percent".
std::string ProgressText(uint64_t received, uint64_t total);

void UpdateExe(App& app);

// After the window has closed: starts the restarter by its full path when an update was installed.
void StartRestarter(App& app);

// At start: when the restarter put the previous version back since the last start, says so once.
void ReportRestoredUpdate(App& app);

}  // namespace lumiseek
