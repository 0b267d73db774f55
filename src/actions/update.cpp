#include "actions/update.h"

#include <string>

#include "actions/update_signature.h"
#include "base/app.h"
#include "base/text.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {

constexpr const char* kDownload = "lumiseek.tmp";
constexpr const char* kSignature = "lumiseek.sig";
constexpr const char* kProgram = "lumiseek.exe";
constexpr const char* kPrevious = "lumiseek.old";

constexpr size_t kSignatureBytes = 64;
constexpr uint64_t kLogTailBytes = 4096;    // where the last line of update.log is looked for
constexpr uint64_t kLogKeptBytes = 65536;   // a longer log keeps only its tail when a line is added

constexpr size_t kHeadBytes = 4096;
constexpr uint64_t kMinProgramSize = 64 * 1024;
constexpr uint64_t kMaxProgramSize = kMaxDownloadBytes;
constexpr uint16_t kMachineX64 = 0x8664;
constexpr uint16_t kOptionalHeader64 = 0x20B;
constexpr uint16_t kExecutableImage = 0x0002;
constexpr uint16_t kLibrary = 0x2000;

uint32_t Little(std::string_view bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The download is a program this computer can run, not an error page or a broken file.
bool DownloadIsProgram(App& app) {
    auto stamp = app.port.FileStampOf(kDownload);
    std::string head;
    return stamp && app.port.ReadFilePart(kDownload, 0, kHeadBytes, head) && IsWindowsProgram(head, stamp->size);
}

// How a checked download ended.
enum class Outcome { Install, UpToDate, Cancelled, Failed };

// Downloads under the limits: at most maxBytes, and stopped after kStallLimitMs without a byte.
// While the size is known, the progress is said every kProgressEveryMs.
DownloadEnd Fetch(App& app, const std::string& address, const std::string& path, uint64_t maxBytes) {
    int64_t nextProgress = kProgressEveryMs;
    return app.port.Download(address, path, maxBytes, [&](const DownloadProgress& progress) {
        if (progress.quietMs >= kStallLimitMs) return false;
        if (progress.total != 0 && progress.elapsedMs >= nextProgress) {
            SpeakOne(app, ProgressText(progress.received, progress.total));
            nextProgress = (progress.elapsedMs / kProgressEveryMs + 1) * kProgressEveryMs;
        }
        return true;
    });
}

// The download, its program check, its signature (fetched from the same address with ".sig"
// appended, at most its 64 bytes) and its version. Only a download found fit to install is left in
// lumiseek.tmp; the signature file never stays.
Outcome CheckedDownload(App& app, const std::string& address) {
    Port& port = app.port;
    DownloadEnd end = Fetch(app, address, kDownload, kMaxDownloadBytes);
    if (end == DownloadEnd::Cancelled) return Outcome::Cancelled;
    if (end != DownloadEnd::Finished || !DownloadIsProgram(app)) return Outcome::Failed;
    end = Fetch(app, address + ".sig", kSignature, kSignatureBytes);
    std::string signature, program;
    const bool fetched = end == DownloadEnd::Finished && port.ReadFilePart(kSignature, 0, kSignatureBytes + 1, signature);
    port.RemoveFile(kSignature);
    if (end == DownloadEnd::Cancelled) return Outcome::Cancelled;
    if (!fetched || !port.ReadFileBytes(kDownload, program) || !SignedByRelease(port, program, signature))
        return Outcome::Failed;
    // Signed bytes: the version resource in them is the release's own.
    switch (JudgeUpdate(port.VersionOf(kDownload), kRunningVersion)) {
        case UpdateVerdict::Install: return Outcome::Install;
        case UpdateVerdict::UpToDate: return Outcome::UpToDate;
        case UpdateVerdict::Refused: break;
    }
    return Outcome::Failed;
}

// Puts the download in the program's place and keeps the program it replaces as lumiseek.old.
// False when a step failed; the installed program is then in its place as before.
bool InstallDownload(App& app) {
    Port& port = app.port;
    if (port.FileExists(kPrevious) && !port.RemoveFile(kPrevious)) return false;
    // Without a lumiseek.exe (the program runs under another name) there is nothing to move aside.
    bool movedAside = false;
    if (port.FileExists(kProgram)) {
        if (!port.RenameFile(kProgram, kPrevious)) return false;
        movedAside = true;
    }
    if (port.RenameFile(kDownload, kProgram)) return true;
    if (movedAside) port.RenameFile(kPrevious, kProgram);
    return false;
}

}  // namespace

bool IsWindowsProgram(std::string_view head, uint64_t size) {
    if (size < kMinProgramSize || size > kMaxProgramSize) return false;
    if (head.size() < 64 || head.substr(0, 2) != "MZ") return false;
    const size_t pe = Little(head, 0x3C, 4);
    if (pe > head.size() || head.size() - pe < 26) return false;
    if (head.substr(pe, 4) != std::string_view("PE\0\0", 4)) return false;
    const uint32_t characteristics = Little(head, pe + 22, 2);
    return Little(head, pe + 4, 2) == kMachineX64 && Little(head, pe + 24, 2) == kOptionalHeader64 &&
           (characteristics & kExecutableImage) != 0 && (characteristics & kLibrary) == 0;
}

UpdateVerdict JudgeUpdate(const std::optional<ProgramVersion>& offered, const std::array<uint16_t, 4>& running) {
    if (!offered || LowerCase(offered->originalName) != kProgram || offered->number < running)
        return UpdateVerdict::Refused;
    return offered->number == running ? UpdateVerdict::UpToDate : UpdateVerdict::Install;
}

std::string ProgressText(uint64_t received, uint64_t total) {
    // Sizes stay far below 2^57, so the product cannot overflow.
    const uint64_t percent = total == 0 ? 0 : received >= total ? 100 : received * 100 / total;
    return "Downloading, " + std::to_string(percent) + " percent";
}

void UpdateExe(App& app) {
    Port& port = app.port;
    SpeakOneWait(app, "Updating Lumiseek");
    // Without the restarter beside the program nothing would start it again: nothing is fetched.
    if (!port.FileExists(port.ProgramFolder() + kRestarter)) {
        SpeakOne(app, "Lumiseek Update Failed");
        return;
    }
    SpeakNext(app, "Downloading. Press Escape to cancel.");
    const std::string address = port.EnvironmentVariable(kUpdateAddressVariable).value_or(kUpdateAddress);

    // Each check of the download stands here, before anything is renamed.
    const Outcome outcome = CheckedDownload(app, address);
    if (outcome == Outcome::Install && InstallDownload(app)) {
        SpeakOneWait(app, "Update successful. Restarting Lumiseek.");
        app.RestartAfterUpdate = 1;
        port.EndWindow();
        return;
    }
    port.RemoveFile(kDownload);
    SpeakOne(app, outcome == Outcome::UpToDate    ? "Lumiseek is up to date"
                  : outcome == Outcome::Cancelled ? "Lumiseek Update Cancelled"
                                                  : "Lumiseek Update Failed");
}

void StartRestarter(App& app) {
    if (app.RestartAfterUpdate != 1) return;
    Port& port = app.port;
    const std::string folder = port.ProgramFolder();
    // The restarter waits for this process, named by its id, to end before it starts the new
    // program. Should it not start, the new program is started at once, without its watch.
    if (!port.StartProgram(QuoteWindowsArgument(folder + kRestarter) + " " + std::to_string(port.ProcessId())))
        port.StartProgram(QuoteWindowsArgument(folder + kProgram));
}

void ReportRestoredUpdate(App& app) {
    Port& port = app.port;
    const auto stamp = port.FileStampOf(kUpdateLog);
    std::string tail;
    const uint64_t from = stamp && stamp->size > kLogTailBytes ? stamp->size - kLogTailBytes : 0;
    if (!stamp || !port.ReadFilePart(kUpdateLog, from, kLogTailBytes, tail)) return;
    const size_t end = tail.find_last_not_of("\r\n");
    if (end == std::string::npos) return;
    const size_t begin = tail.find_last_of('\n', end);
    const std::string_view last = std::string_view(tail).substr(begin == std::string::npos ? 0 : begin + 1);
    if (!last.starts_with(kRestoredMark)) return;
    SpeakNext(app, "The last update could not start; the previous version was restored");
    // A line after it marks it as said, so that it is said once.
    std::string log;
    if (stamp->size > kLogKeptBytes || !port.ReadFileBytes(kUpdateLog, log)) log = tail;
    log.resize(log.find_last_not_of("\r\n") + 1);
    port.WriteFileReplacing(kUpdateLog, log + "\r\nReported at start.\r\n");
}

}  // namespace lumiseek
