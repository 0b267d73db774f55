// exclusion.txt and the search term into the argument string: es, splitting the string by its
// own rules, must get one argument per exclusion line (that line, whole), the switches, and
// the term's own arguments: no term split, merged or lost.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

#include "base/app.h"
#include "base/text.h"
#include "check.h"
#include "fake_port.h"
#include "options.h"
#include "search/results.h"
#include "search/search.h"

using namespace lumiseek;

namespace {

std::string WithoutQuotes(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '"') out += c;
    return out;
}

// The folders of exclusion.txt as written there: one per line that holds more than blanks,
// blanks at its ends aside. No folder holds a double quote.
std::vector<std::string> ExcludedFolders(const std::string& text) {
    std::vector<std::string> folders;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = WithoutQuotes(text.substr(start, end - start));
        start = end + 1;
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos) folders.push_back(line.substr(first, line.find_last_not_of(" \t") + 1 - first));
    }
    return folders;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    test::FakePort port;
    App app(port);
    CreateFileTypeLists(app);
    Settings& s = app.settings;
    s.SearchType = in.ConsumeIntegralInRange(1, 3);
    s.MaxResults = in.ConsumeBool() ? 0 : 250;
    s.ExcludeSystemFolders = 1;
    const bool hasExclusions = in.ConsumeBool();
    const std::string exclusions = in.ConsumeRandomLengthString(400);
    if (hasExclusions) port.files["exclusion.txt"] = exclusions;
    port.boxText = in.ConsumeRemainingBytesAsString();
    port.runResult = {false, 0};

    Search(app, s.SearchType);
    if (port.ran.empty()) return 0;  // a term with a character es never gets: refused before the run
    FUZZ_CHECK(port.ran.size() == 1);

    std::vector<std::string> expected;
    if (hasExclusions) {
        for (const std::string& folder : ExcludedFolders(DecodeOutsideText(app, exclusions)))
            expected.push_back("!" + folder);
    } else {
        expected = {"!c:\\windows\\", "!c:\\$recycle.bin\\"};
    }
    const std::vector<std::string> switches[] = {
        {"-size", "-size-format", "2", "-dm", "/a-d"}, {"-size", "-size-format", "2", "-dm", "/ad"},
        {"-size", "-size-format", "2", "-dm"}};
    expected.insert(expected.end(), switches[s.SearchType - 1].begin(), switches[s.SearchType - 1].end());
    expected.insert(expected.end(), {"-sort", "dm"});
    if (s.MaxResults != 0) expected.insert(expected.end(), {"-n", "250"});
    expected.insert(expected.end(), {"-export-csv", "results.txt"});
    // The term's own arguments, its prefix words (zip:, pic:, ...) standing for their lists.
    App term(port);
    CreateFileTypeLists(term);
    term.SearchCommand = s.SearchTerm;
    ExpandEsPrefixes(term);
    for (const std::string& argument : es::SplitCommandLine(term.SearchCommand)) expected.push_back(WithoutQuotes(argument));

    std::vector<std::string> got;
    for (const std::string& argument : es::SplitCommandLine(port.ran[0])) got.push_back(WithoutQuotes(argument));
    if (got != expected) {
        std::fprintf(stderr, "argument string: [%s]\nexpected:", port.ran[0].c_str());
        for (const std::string& e : expected) std::fprintf(stderr, " [%s]", e.c_str());
        std::fprintf(stderr, "\n");
    }
    FUZZ_CHECK(got == expected);
    return 0;
}
