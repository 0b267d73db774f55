#include "search/results.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "base/app.h"
#include "base/guard.h"
#include "base/ids.h"
#include "base/ini.h"
#include "base/text.h"
#include "search/columns.h"
#include "search/results_file.h"
#include "search/short_folder.h"
#include "speech/speech.h"
#include "view/layout.h"

namespace lumiseek {

namespace {

// Where the three fields stand in a line. The path may hold commas, so it takes whatever
// the line has beyond the other columns.
struct ColumnLayout {
    size_t count = 3;
    int size = 0;
    int date = 1;
    size_t path = 2;
};

// Newer engines write "Filename,Size,Date Modified", older ones "Size,Date Modified,Filename".
// A header that names a Filename column is read by name; anything else means the older order.
ColumnLayout ReadHeader(const RowFields& fields) {
    ColumnLayout named;
    named.count = fields.size();
    named.size = named.date = -1;
    bool hasPath = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        std::string name = TrimSpaces(LowerCase(fields[i]));
        if (name == "filename") {
            named.path = i;
            hasPath = true;
        } else if (name == "size") {
            named.size = static_cast<int>(i);
        } else if (name == "date modified") {
            named.date = static_cast<int>(i);
        }
    }
    return hasPath ? named : ColumnLayout{};
}

// The field of column `column` once the path has taken its surplus fields; empty when missing.
std::string_view ColumnField(const RowFields& fields, const ColumnLayout& layout, int column) {
    if (column < 0) return {};
    size_t surplus = fields.size() > layout.count ? fields.size() - layout.count : 0;
    size_t i = static_cast<size_t>(column);
    if (i > layout.path) i += surplus;
    return i < fields.size() ? fields[i] : std::string_view();
}

// The path with its surplus fields, joined again by the commas that split them; `room` holds a
// joined path.
std::string_view PathField(const RowFields& fields, const ColumnLayout& layout, std::string& room) {
    if (layout.path >= fields.size()) return {};
    size_t surplus = fields.size() > layout.count ? fields.size() - layout.count : 0;
    if (surplus == 0) return fields[layout.path];
    room.assign(fields[layout.path]);
    for (size_t i = 1; i <= surplus; ++i) room.append(1, ',').append(fields[layout.path + i]);
    return room;
}

// The n-th (from 0) blank-separated token; every single blank separates.
std::string_view Token(std::string_view text, int n) {
    size_t start = 0;
    for (int k = 0; k < n; ++k) {
        size_t blank = text.find(' ', start);
        if (blank == std::string_view::npos) return {};
        start = blank + 1;
    }
    return text.substr(start, text.find(' ', start) - start);
}

// "05/17/2023 10:22" -> "2023/05/17 10:22": the last four characters of the date, "/",
// its first five, a blank, the time.
std::string SortDateKey(std::string_view dateText) {
    std::string_view date = Token(dateText, 0);
    size_t chars = CharCount(date);
    std::string_view lastFour = chars > 4 ? date.substr(FirstChars(date, chars - 4).size()) : date;
    std::string_view firstFive = std::string_view(date).substr(0, FirstChars(date, 5).size());
    std::string_view time = Token(dateText, 1);
    std::string key;
    key.reserve(lastFour.size() + firstFive.size() + time.size() + 2);
    key.append(lastFour).append(1, '/').append(firstFive).append(1, ' ').append(time);
    return key;
}

// The entries of the ignore list: extensions with their dot, separated by blanks, commas,
// semicolons or the dot that starts the next one (".lnk.url" holds two).
std::vector<std::string> IgnoredExtensions(std::string_view list) {
    std::vector<std::string> entries;
    std::string entry;
    auto finish = [&] {
        if (!entry.empty() && entry != ".") entries.push_back(entry[0] == '.' ? entry : "." + entry);
        entry.clear();
    };
    for (char ch : list) {
        if (ch == ' ' || ch == '\t' || ch == ',' || ch == ';') {
            finish();
        } else if (ch == '.') {
            finish();
            entry = ".";
        } else {
            entry += ch;
        }
    }
    finish();
    return entries;
}

// The extension of a path: from the last dot of its name to the end; empty without a dot.
std::string_view Extension(std::string_view path) {
    size_t nameStart = path.find_last_of("\\:");
    nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) return {};
    return path.substr(dot);
}

bool IsIgnored(std::string_view name, const std::vector<std::string>& ignored) {
    std::string_view ext = Extension(name);
    if (ext.empty()) return false;
    for (const std::string& e : ignored)
        if (ext == e) return true;
    return false;
}

}  // namespace

std::string DecodeOutsideText(App& app, const std::string& bytes) {
    return IniDecode(bytes, [&app](const std::string& ansi) { return app.port.AnsiToUtf8(ansi); });
}

int ImportResults(App& app, ImportOutcome* outcome, const ImportLimits& limits) {
    // The old rows go first, so that they and the new ones are never held at once.
    ResultTable().swap(app.Results);
    Port& port = app.port;
    const Settings& s = app.settings;
    std::vector<std::string> ignored;
    if (s.UseIgnoreList != 0) ignored = IgnoredExtensions(s.IgnoreList);

    // The first row is the header; every other is one result.
    ImportOutcome met;
    ColumnLayout layout;
    std::string pathRoom, lowered;
    bool header = true;
    const auto reserve = [&](size_t rowsAtMost) { app.Results.reserve(rowsAtMost > 0 ? rowsAtMost - 1 : 0); };
    const auto take = [&](const RowFields& fields) {
        if (header) {
            layout = ReadHeader(fields);
            header = false;
            return true;
        }
        if (fields.size() == 1 && fields[0].empty()) return true;  // "" alone is a blank line
        if (app.Results.size() >= limits.rows) {
            met.cut = true;
            return false;
        }
        // Name and folder are cut at the last "\\" or ":" of the path; lower case keeps those marks,
        // so the path is cut first and each part lowered into place.
        std::string_view path = PathField(fields, layout, pathRoom);
        size_t cut = path.find_last_of("\\:");
        cut = cut == std::string_view::npos ? 0 : cut + 1;
        LowerCaseInto(path.substr(cut), lowered);
        if (!ignored.empty() && IsIgnored(lowered, ignored)) return true;

        ResultRow& r = app.Results.emplace_back();
        r.Name = lowered;
        LowerCaseInto(path.substr(0, cut), lowered);
        r.Folder = lowered;
        LowerCaseInto(ColumnField(fields, layout, layout.size), lowered);
        r.SizeText = lowered;
        r.Size = LenientNumber64(r.SizeText);
        LowerCaseInto(ColumnField(fields, layout, layout.date), lowered);
        r.DateText = lowered;
        r.SortDate = SortDateKey(r.DateText);
        // A folder has an empty size; without a size column nothing tells, so no row is one.
        r.IsFolder = layout.size >= 0 && r.SizeText.empty() ? 1 : 0;
        return true;
    };
    if (!ReadCsvFile(port, kResultsFile, limits, reserve, take, met) && !port.FileExists(kResultsFile))
        port.WriteFileReplacing(kResultsFile, "");

    port.ListDeleteAllItems();
    int k = static_cast<int>(app.Results.size());
    if (k == 0) {
        InitializeList(app);
    } else if (app.Results.size() < app.Results.capacity() / 2) {
        app.Results.shrink_to_fit();
    }
    met.rows = k;
    if (outcome != nullptr) *outcome = met;
    return k;
}

void InitializeList(App& app) {
    ResultRow empty;
    empty.Name = "<empty>";
    app.Results.assign(1, empty);
    app.port.ListSetItemCount(1, 0);
    app.port.ListSelectRow(1);
}

void ShowSearchResults(App& app) {
    Port& port = app.port;
    port.ListSetColumn(1, NameHeader(app.Results), -1);
    port.ListSetGridStyle();
    port.ListSetItemCount(static_cast<int>(app.Results.size()), 1);
    port.ListSelectRow(1);
    port.Focus(ctl::ResultsList);
}

void OpenSession(App& app) {
    Resize(app);
    ImportResults(app);
    ShowSearchResults(app);
    AskToolbarRebuild(app);
    if (app.settings.FocusOnRE != 0) {
        app.port.BoxSelect(0, -1);
        app.port.Focus(ctl::SearchBox);
    }
}

std::string GetCellText(App& app, int row, int column) {
    if (row < 1 || row > static_cast<int>(app.Results.size())) return "";
    const ResultRow& r = app.Results[row - 1];
    const Settings& s = app.settings;
    switch (column) {
        case 1: return r.IsFolder != 0 ? "(f) " + r.Name : r.Name.str();
        case 2: return s.ShortPath != 0 ? ShortFolder(app, r.Folder) : r.Folder.str();
        case 3: return std::string(s.EnableTime != 0 ? r.DateText.view() : Token(r.DateText, 0));
        case 4:
            if (r.IsFolder == 1 || r.Name == "<empty>" || r.Name == "Loading ...") return "";
            return FormatSize(app, row);
    }
    return "";
}

void SelectionChanged(App& app, int row) {
    if (row < 1 || row > static_cast<int>(app.Results.size())) return;
    const ResultRow& r = app.Results[row - 1];
    ST(app, RowSummary(app, row));
    app.PreviewPath = r.Folder + r.Name;
    AskPreviewSoon(app);
    SpeakOne(app, r.Name);
}

void ST(App& app, const std::string& text) { app.port.SetStatusText("   " + text); }

std::string RowSummary(const App& app, int row) {
    if (row < 1 || row > static_cast<int>(app.Results.size())) return "";
    const ResultRow& r = app.Results[row - 1];
    return "  " + std::to_string(row) + "  " + r.Name + "  " + TrimSpaces(r.DateText) + "  " +
           TrimSpaces(r.SizeText) + "  " + r.Folder;
}

int SelectedRow(App& app) {
    int row = app.port.ListSelectedRow();
    if (row < 1 || row > static_cast<int>(app.Results.size())) {
        SpeakOne(app, "No Selection");
        return 0;
    }
    return row;
}

int TypeAheadRow(const ResultTable& results, int selectedRow, char c) {
    auto lower = [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); };
    char wanted = lower(c);
    for (int row = std::max(selectedRow, 0) + 1; row <= static_cast<int>(results.size()); ++row) {
        std::string_view name = results[row - 1].Name;
        if (!name.empty() && lower(name[0]) == wanted) return row;
    }
    return 0;
}

}  // namespace lumiseek
