// The engine's search language and its CSV rows. For any two terms a and b: "a b" matches
// exactly when both do, "a|b" when either does, "!a" when a does not, and a quoted term as the
// bare one; wildcards match as a plain reading of * and ? over characters says. Rows the engine
// writes read back through the program's import into the same names, folders, sizes and dates.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/app.h"
#include "base/text.h"
#include "check.h"
#include "fake_port.h"
#include "output.h"
#include "query.h"
#include "search/results.h"

namespace {

// Text with the characters that end or change a term (blanks, '|', '"', a leading '!') left out.
std::string BareTerm(const std::string& raw) {
    std::string term;
    for (char c : raw)
        if (c != ' ' && c != '\t' && c != '|' && c != '"' && !(term.empty() && c == '!')) term += c;
    return term;
}

bool Match(const std::string& query, const es::Candidate& c) { return es::Matches(es::ParseQuery(query, '\\'), c); }

// Whole-text match, * any run of characters and ? one character: the plain table of which
// pattern tail matches which text tail.
bool Wildcard(const std::u32string& p, const std::u32string& t) {
    std::vector<std::vector<char>> m(p.size() + 1, std::vector<char>(t.size() + 1, 0));
    m[p.size()][t.size()] = 1;
    for (size_t i = p.size(); i-- > 0;)
        for (size_t j = t.size() + 1; j-- > 0;)
            m[i][j] = p[i] == U'*' ? m[i + 1][j] || (j < t.size() && m[i][j + 1])
                                   : j < t.size() && (p[i] == U'?' || p[i] == t[j]) && m[i + 1][j + 1];
    return m[0][0] != 0;
}

std::u32string CodePoints(const std::string& utf8) {
    std::u32string out;
    const std::u16string u = lumiseek::Utf8ToUtf16(utf8);
    for (size_t i = 0; i < u.size(); ++i) {
        if (u[i] >= 0xD800 && u[i] <= 0xDBFF && i + 1 < u.size())
            out += static_cast<char32_t>(0x10000 + ((u[i] - 0xD800) << 10) + (u[i + 1] - 0xDC00)), ++i;
        else
            out += u[i];
    }
    return out;
}

// A name as a Windows file system holds it: valid UTF-8, none of the characters it refuses.
// Double quotes are refused too, and the import drops them.
std::string WindowsName(const std::string& raw) {
    std::string name;
    for (char c : lumiseek::Utf16ToUtf8(lumiseek::Utf8ToUtf16(raw)))
        if (static_cast<unsigned char>(c) >= 0x20 && std::string_view("\"<>|?*:\\/").find(c) == std::string_view::npos)
            name += c;
    return name.empty() ? "x" : name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string a = BareTerm(in.ConsumeRandomLengthString(24));
    const std::string b = BareTerm(in.ConsumeRandomLengthString(24));
    const std::string name = in.ConsumeRandomLengthString(48);
    const std::string folder = in.ConsumeRandomLengthString(48);
    const bool isFolder = in.ConsumeBool();
    const int64_t fileSize = in.ConsumeIntegralInRange<int64_t>(0, INT64_MAX);
    const es::CivilTime time{in.ConsumeIntegralInRange(1601, 9999), in.ConsumeIntegralInRange(1, 12),
                             in.ConsumeIntegralInRange(1, 31), in.ConsumeIntegralInRange(0, 23),
                             in.ConsumeIntegralInRange(0, 59)};
    const std::string rest = in.ConsumeRemainingBytesAsString();

    // The search language: any text parses; AND, OR, NOT and quotes keep their meaning.
    std::string lowerName, lowerPath;
    es::FoldCase(name, lowerName);
    es::FoldCase(folder + "\\" + name, lowerPath);
    const es::Candidate c{lowerName, lowerPath, isFolder};
    Match(rest, c);
    const bool asksA = !es::ParseQuery(a, '\\').groups.empty();
    const bool asksB = !es::ParseQuery(b, '\\').groups.empty();
    if (asksA) {
        FUZZ_CHECK(Match("!" + a, c) == !Match(a, c));
        FUZZ_CHECK(Match("\"" + a + "\"", c) == Match(a, c));
    }
    if (asksA && asksB) {
        FUZZ_CHECK(Match(a + " " + b, c) == (Match(a, c) && Match(b, c)));
        FUZZ_CHECK(Match(a + "|" + b, c) == (Match(a, c) || Match(b, c)));
    }
    // In a folder the walk reads (its path with the separator holds no excluded text), an entry
    // whose name holds no separator is matched by the query without the excluded folders alike.
    const es::Query query = es::ParseQuery(rest, '\\');
    std::string lowerFolder;
    es::FoldCase(folder + "\\", lowerFolder);
    bool folderRead = name.find('\\') == std::string::npos;
    for (const std::string& excluded : query.excluded_paths)
        folderRead = folderRead && lowerFolder.find(excluded) == std::string::npos;
    if (folderRead) {
        const std::string walkPath = lowerFolder + lowerName;
        const es::Candidate entry{lowerName, walkPath, isFolder};
        FUZZ_CHECK(es::Matches(es::EntryQuery(query, '\\'), entry) == es::Matches(query, entry));
    }
    const std::string pattern = lumiseek::Utf16ToUtf8(lumiseek::Utf8ToUtf16(a));
    const std::string text = lumiseek::Utf16ToUtf8(lumiseek::Utf8ToUtf16(name));
    FUZZ_CHECK(es::WildcardMatch(pattern, text) == Wildcard(CodePoints(pattern), CodePoints(text)));

    // Two rows written by the engine read back by the import, in order and whole.
    const std::string paths[] = {"c:\\" + WindowsName(folder) + "\\" + WindowsName(name),
                                 "d:\\" + WindowsName(name) + " ," + "\\" + WindowsName(rest)};
    es::Options options;
    options.size = options.date_modified = true;
    std::string file = es::CsvHeader(options);
    for (const std::string& path : paths) es::AppendCsvRow(file, options, path, isFolder, fileSize, time);

    lumiseek::test::FakePort port;
    lumiseek::App app(port);
    port.files[lumiseek::kResultsFile] = file;
    FUZZ_CHECK(lumiseek::ImportResults(app) == 2);
    const std::string date = es::FormatDate(time);
    const std::string sortDate = date.substr(6, 4) + "/" + date.substr(0, 5) + " " + date.substr(11);
    for (size_t i = 0; i < 2; ++i) {
        const lumiseek::ResultRow& r = app.Results[i];
        const size_t cut = paths[i].rfind('\\') + 1;
        FUZZ_CHECK(r.Name == lumiseek::LowerCase(paths[i].substr(cut)));
        FUZZ_CHECK(r.Folder == lumiseek::LowerCase(paths[i].substr(0, cut)));
        FUZZ_CHECK(r.IsFolder == (isFolder ? 1 : 0));
        FUZZ_CHECK(r.Size == (isFolder ? 0 : fileSize));
        FUZZ_CHECK(r.DateText == date && r.SortDate == sortDate);
    }
    return 0;
}
