// The settings reader: any bytes load, and what the program then saves loads back into the
// same record and saves into the same bytes (load, save, load, save: the second save changes
// nothing).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/app.h"
#include "base/settings.h"
#include "check.h"
#include "fake_port.h"

using namespace lumiseek;

namespace {

// The window gives back the restored rectangle it was given, as Windows keeps it: the edges
// of a hand-edited place and size stop at the 32-bit limits.
void PlaceWindow(test::FakePort& port, const Settings& s) {
    const auto edge = [](int from, int length) {
        return static_cast<int>(std::clamp<int64_t>(int64_t{from} + length, INT32_MIN, INT32_MAX));
    };
    const Rect r = port.restored ? port.normal : Rect{0, 0, s.Width, s.Height};
    port.placement = {r.x, r.y, edge(r.x, r.w), edge(r.y, r.h), s.Minimized != 0, s.Maximized != 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::FakePort port;
    App app(port);
    port.files["lumiseek.ini"] = std::string(reinterpret_cast<const char*>(data), size);

    SettingsFile(app, "get");
    PlaceWindow(port, app.settings);
    FUZZ_CHECK(SettingsFile(app, "save"));
    const Settings saved = app.settings;
    const std::string first = port.files["lumiseek.ini"];

    test::FakePort again;
    App reloaded(again);
    again.files["lumiseek.ini"] = first;
    SettingsFile(reloaded, "get");
    FUZZ_CHECK(reloaded.settings == saved);
    PlaceWindow(again, reloaded.settings);
    FUZZ_CHECK(SettingsFile(reloaded, "save"));
    FUZZ_CHECK(again.files["lumiseek.ini"] == first);
    return 0;
}
