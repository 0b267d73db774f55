// The results import: any bytes give rows, whose names and folders are valid UTF-8, at most one
// row per line; and a file read a few bytes at a time gives the same rows as one read whole.
// The first byte chooses the read size and whether the ignore list is used; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/app.h"
#include "base/text.h"
#include "check.h"
#include "fake_port.h"
#include "search/results.h"

using namespace lumiseek;

namespace {

ResultTable Import(const std::string& file, size_t readPart, bool ignoreList) {
    test::FakePort port;
    App app(port);
    port.files[kResultsFile] = file;
    port.readPartLimit = readPart;
    app.settings.UseIgnoreList = ignoreList ? 1 : 0;
    app.settings.IgnoreList = ".lnk .TMP;url";
    const int k = ImportResults(app);
    FUZZ_CHECK(k == 0 ? app.Results.size() == 1 && app.Results[0].Name == "<empty>"
                      : static_cast<size_t>(k) == app.Results.size());
    if (k == 0) return {};
    return app.Results;
}

bool SameRows(const ResultTable& a, const ResultTable& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const ResultRow &x = a[i], &y = b[i];
        if (!(x.Name == y.Name && x.Folder == y.Folder && x.DateText == y.DateText && x.SizeText == y.SizeText &&
              x.SortDate == y.SortDate && x.Size == y.Size && x.IsFolder == y.IsFolder))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t readPart = 1 + data[0] % 16;
    const bool ignoreList = (data[0] & 0x80) != 0;
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);

    const ResultTable whole = Import(file, SIZE_MAX, ignoreList);
    size_t lines = 0;
    for (size_t at = file.find("\r\n"); at != std::string::npos; at = file.find("\r\n", at + 2)) ++lines;
    FUZZ_CHECK(whole.size() <= lines);  // the header and every row end at a line break but the last
    for (const ResultRow& r : whole) {
        FUZZ_CHECK(IsValidUtf8(r.Name));
        FUZZ_CHECK(IsValidUtf8(r.Folder));
        FUZZ_CHECK(r.Folder.empty() || r.Folder.view().back() == '\\' || r.Folder.view().back() == ':');
    }
    FUZZ_CHECK(SameRows(Import(file, readPart, ignoreList), whole));
    return 0;
}
