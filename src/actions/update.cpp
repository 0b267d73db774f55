#include "actions/update.h"

#include <string>

#include "actions/update_signature.h"
#include "base/app.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {

constexpr const char* kDownload = "lumiseek.tmp";
constexpr const char* kSignature = "lumiseek.sig";
constexpr const char* kProgram = "lumiseek.exe";
constexpr const char* kPrevious = "lumiseek.old";

constexpr size_t kHeadBytes = 4096;
constexpr uint64_t kMinProgramSize = 64 * 1024;
constexpr uint64_t kMaxProgramSize = 512ull * 1024 * 1024;
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

// The download is signed with the release key: its signature, fetched from the same address with
// ".sig" appended, is checked against the downloaded bytes.
bool DownloadIsSigned(App& app, const std::string& address) {
    Port& port = app.port;
    std::string signature, program;
    bool fetched = port.Download(address + ".sig", kSignature) && port.ReadFileBytes(kSignature, signature);
    port.RemoveFile(kSignature);
    return fetched && port.ReadFileBytes(kDownload, program) && SignedByRelease(port, program, signature);
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

void UpdateExe(App& app) {
    Port& port = app.port;
    SpeakOneWait(app, "Updating Lumiseek");
    // The download holds the window until it ends: say so while it runs.
    SpeakNext(app, "Downloading. Lumiseek does not respond until the download ends.");
    const std::string address = port.EnvironmentVariable(kUpdateAddressVariable).value_or(kUpdateAddress);

    // Each check of the download stands here, before anything is renamed.
    bool acceptable =
        port.Download(address, kDownload) && DownloadIsProgram(app) && DownloadIsSigned(app, address);
    if (!acceptable || !InstallDownload(app)) {
        port.RemoveFile(kDownload);
        SpeakOne(app, "Lumiseek Update Failed");
        return;
    }
    SpeakOneWait(app, "Update successful. Restarting Lumiseek.");
    app.RestartAfterUpdate = 1;
    port.EndWindow();
}

}  // namespace lumiseek
