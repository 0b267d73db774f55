#include "search/all_drives.h"

#include <optional>
#include <string>

#include "base/app.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {

constexpr const char* kRootsFile = "es-roots.txt";
constexpr const char* kAllDrives = "Searching all drives. This can take a while.";

// Our engine's program holds the name of its roots file; Everything's es does not.
bool OwnEngine(Port& port, const std::string& es) {
    std::string bytes;
    return port.ReadFileBytes(es, bytes) && bytes.find(kRootsFile) != std::string::npos;
}

}  // namespace

void SayWhenSearchingAllDrives(App& app) {
    if (app.AllDrivesChecked) return;
    std::optional<std::string> es = app.port.FindProgram("es.exe");
    if (!es) return;  // the search says why it cannot run
    app.AllDrivesChecked = true;
    const std::string folder = es->substr(0, es->find_last_of('\\') + 1);
    if (app.port.FileExists(folder + kRootsFile) || !OwnEngine(app.port, *es)) return;
    // Queued behind the announcement: the search starts while it is spoken.
    SpeakNext(app, kAllDrives);
}

}  // namespace lumiseek
