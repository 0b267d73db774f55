// The results import: any bytes give rows, whose names and folders are valid UTF-8, at most one
// row per line end; a file read a few bytes at a time gives the same rows and the same outcome as one
// read whole, and so does the same text written as UTF-16. A name of any text, quotes and line
// breaks included, written in double quotes by the CSV rules, reads back as itself.
// The first byte chooses the read size and whether the ignore list is used; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/app.h"
#include "base/ini.h"
#include "base/text.h"
#include "check.h"
#include "fake_port.h"
#include "search/results.h"

using namespace lumiseek;

namespace {

struct Imported {
    ResultTable rows;
    ImportOutcome outcome;
};

Imported Import(const std::string& file, size_t readPart, bool ignoreList) {
    test::FakePort port;
    App app(port);
    port.files[kResultsFile] = file;
    port.readPartLimit = readPart;
    app.settings.UseIgnoreList = ignoreList ? 1 : 0;
    app.settings.IgnoreList = ".lnk .TMP;url";
    Imported got;
    const int k = ImportResults(app, &got.outcome);
    FUZZ_CHECK(k == got.outcome.rows);
    FUZZ_CHECK(k == 0 ? app.Results.size() == 1 && app.Results[0].Name == "<empty>"
                      : static_cast<size_t>(k) == app.Results.size());
    if (k != 0) got.rows = app.Results;
    return got;
}

bool SameRows(const Imported& a, const Imported& b) {
    if (a.rows.size() != b.rows.size() || a.outcome.tooLong != b.outcome.tooLong ||
        a.outcome.unfinished != b.outcome.unfinished || a.outcome.cut != b.outcome.cut)
        return false;
    for (size_t i = 0; i < a.rows.size(); ++i) {
        const ResultRow &x = a.rows[i], &y = b.rows[i];
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

    const Imported whole = Import(file, SIZE_MAX, ignoreList);
    size_t lineEnds = 0;
    for (char c : file) lineEnds += c == '\n' ? 1 : 0;
    FUZZ_CHECK(whole.rows.size() <= lineEnds);  // the header and every row end at an LF
    FUZZ_CHECK(whole.outcome.tooLong == 0 && !whole.outcome.cut);  // far inside the limits
    for (const ResultRow& r : whole.rows) {
        FUZZ_CHECK(IsValidUtf8(r.Name));
        FUZZ_CHECK(IsValidUtf8(r.Folder));
        FUZZ_CHECK(r.Folder.empty() || r.Folder.view().back() == '\\' || r.Folder.view().back() == ':');
    }
    FUZZ_CHECK(SameRows(Import(file, readPart, ignoreList), whole));

    // The same text as UTF-16 with its byte-order mark, decoded as any file from outside.
    test::FakePort port;
    App app(port);
    const std::string text = DecodeOutsideText(app, file);
    FUZZ_CHECK(SameRows(Import(EncodeUtf16Le(text), readPart, ignoreList), whole));

    // The text as one name, in double quotes with each quote doubled, LF and CR LF rows around it.
    std::string name, quoted;
    for (char c : text)
        if (c != '\\' && c != ':') name += c;
    for (char c : name) quoted += c == '"' ? "\"\"" : std::string(1, c);
    const std::string csv = "Size,Date Modified,Filename\n1,1/2/2024,c:\\a\r\n2,1/2/2024,\"c:\\f\\" + quoted +
                            "\"\r\n3,1/2/2024,\"c:\\z\"\n";
    const Imported named = Import(csv, readPart, false);
    FUZZ_CHECK(named.rows.size() == 3 && !named.outcome.unfinished);
    FUZZ_CHECK(named.rows[1].Name == LowerCase(name) && named.rows[1].Folder == "c:\\f\\");
    FUZZ_CHECK(named.rows[2].Name == "z");
    return 0;
}
