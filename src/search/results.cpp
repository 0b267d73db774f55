#include "search/results.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "actions/short_folder.h"
#include "base/app.h"
#include "base/ids.h"
#include "base/ini.h"
#include "app/layout.h"
#include "base/text.h"
#include "app/toolbar.h"
#include "preview/preview.h"
#include "search/columns.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Splits a line at its commas. A field that starts with a double quote runs to the
// closing quote ("" inside stands for one quote), so a comma inside quotes stays in the field.
// The fields still carry their quotes.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    size_t start = 0;
    while (true) {
        size_t i = start;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
        }
        size_t comma = line.find(',', i);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

// A field with its double quotes removed. Mostly there are none, or one at each end, and the
// field is a part of the line; other quotes are removed into `room`.
std::string_view Unquoted(std::string_view field, std::string& room) {
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
    if (field.find('"') == std::string_view::npos) return field;
    room.clear();
    for (char ch : field)
        if (ch != '"') room += ch;
    return room;
}

// A field as the table keeps it: double quotes removed, lower case. `room` and `out` are
// reused from field to field.
std::string_view FieldText(std::string_view field, std::string& room, std::string& out) {
    LowerCaseInto(Unquoted(field, room), out);
    return out;
}

std::string FieldText(std::string_view field) {
    std::string room, out;
    FieldText(field, room, out);
    return out;
}

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
ColumnLayout ReadHeader(std::string_view header) {
    std::vector<std::string_view> fields;
    SplitFields(header, fields);
    ColumnLayout named;
    named.count = fields.size();
    named.size = named.date = -1;
    bool hasPath = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        std::string name = TrimSpaces(FieldText(fields[i]));
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
std::string_view ColumnField(const std::vector<std::string_view>& fields, const ColumnLayout& layout, int column) {
    if (column < 0) return {};
    size_t surplus = fields.size() > layout.count ? fields.size() - layout.count : 0;
    size_t i = static_cast<size_t>(column);
    if (i > layout.path) i += surplus;
    return i < fields.size() ? fields[i] : std::string_view();
}

std::string_view PathField(std::string_view line, const std::vector<std::string_view>& fields,
                           const ColumnLayout& layout) {
    if (layout.path >= fields.size()) return {};
    size_t surplus = fields.size() > layout.count ? fields.size() - layout.count : 0;
    std::string_view first = fields[layout.path], last = fields[layout.path + surplus];
    size_t from = static_cast<size_t>(first.data() - line.data());
    size_t to = static_cast<size_t>(last.data() - line.data()) + last.size();
    return line.substr(from, to - from);
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

namespace {

constexpr size_t kPieceBytes = size_t{1} << 20;

// Reads results.txt piece by piece, so that a large file is never held whole next to its rows.
// Every piece but the last ends with a CR LF: no line is cut in two, and neither is a UTF-8
// character or a character of a double-byte code page, since none holds a CR or an LF byte.
class PieceReader {
public:
    explicit PieceReader(Port& port) : port_(port) {}

    // False when nothing could be read at all.
    bool Opened() const { return opened_; }

    // The next piece; false after the last.
    bool Next(std::string& piece) {
        while (!ended_) {
            if (!port_.ReadFilePart(kResultsFile, offset_, kPieceBytes, chunk_) || chunk_.empty()) {
                ended_ = true;
                break;
            }
            opened_ = true;
            offset_ += chunk_.size();
            // A CR at the end of what was kept may meet its LF at the start of the new bytes.
            size_t from = rest_.empty() ? 0 : rest_.size() - 1;
            rest_ += chunk_;
            size_t at = std::string_view(rest_).substr(from).rfind(kLineBreak);
            if (at == std::string_view::npos) continue;
            at += from + kLineBreak.size();
            piece.assign(rest_, 0, at);
            rest_.erase(0, at);
            return true;
        }
        if (rest_.empty()) return false;
        piece.swap(rest_);
        rest_.clear();
        return true;
    }

private:
    Port& port_;
    uint64_t offset_ = 0;
    std::string chunk_, rest_;
    bool opened_ = false, ended_ = false;
};

// What the rows need to know of the whole file before the first is read.
struct FileSurvey {
    bool readable = false;
    bool utf8 = true;         // every byte valid UTF-8
    bool byteOrderMark = false;  // starts with the UTF-8 byte-order mark
    size_t lines = 0;         // lines that are not empty: the header and at most one row each
};

FileSurvey SurveyResults(Port& port) {
    FileSurvey survey;
    PieceReader reader(port);
    std::string piece;
    for (bool first = true; reader.Next(piece); first = false) {
        if (first) survey.byteOrderMark = std::string_view(piece).substr(0, kByteOrderMark.size()) == kByteOrderMark;
        if (survey.utf8 && !IsValidUtf8(piece)) survey.utf8 = false;
        size_t lineStart = 0;
        for (size_t at = piece.find(kLineBreak); at != std::string::npos; at = piece.find(kLineBreak, at + 2)) {
            if (at > lineStart) ++survey.lines;
            lineStart = at + kLineBreak.size();
        }
        if (lineStart < piece.size()) ++survey.lines;  // the last line, without a line break
    }
    survey.readable = reader.Opened();
    return survey;
}

}  // namespace

int ImportResults(App& app) {
    // The old rows go first, so that they and the new ones are never held at once.
    ResultTable().swap(app.Results);
    Port& port = app.port;
    FileSurvey survey = SurveyResults(port);
    if (!survey.readable && !port.FileExists(kResultsFile)) port.WriteFileReplacing(kResultsFile, "");

    const Settings& s = app.settings;
    std::vector<std::string> ignored;
    if (s.UseIgnoreList != 0) ignored = IgnoredExtensions(s.IgnoreList);

    // Blank lines make no rows, so a file of line breaks alone reserves nothing.
    app.Results.reserve(survey.lines > 0 ? survey.lines - 1 : 0);

    // Lines end at CR LF. Empty lines do not count, wherever they are; the first other line is
    // the header.
    ColumnLayout layout;
    std::vector<std::string_view> fields;
    std::string pathRoom, room, lowered, piece, text;
    bool header = true, first = true;
    PieceReader reader(port);
    while (reader.Next(piece)) {
        // Decoded as DecodeOutsideText decodes a whole file: after a byte-order mark as UTF-8 (a
        // byte that is not becomes U+FFFD), else as UTF-8 when all of it is, else as ANSI.
        if (first && survey.byteOrderMark) piece.erase(0, kByteOrderMark.size());
        first = false;
        if (survey.utf8)
            text.swap(piece);
        else if (survey.byteOrderMark)
            text = Utf16ToUtf8(Utf8ToUtf16(piece));
        else
            text = port.AnsiToUtf8(piece);
        std::string_view all = text;
        for (size_t start = 0; start < all.size();) {
            size_t end = all.find(kLineBreak, start);
            if (end == std::string_view::npos) end = all.size();
            std::string_view line = all.substr(start, end - start);
            start = end + kLineBreak.size();
            if (line.empty()) continue;
            // Double quotes are not text: a data line of nothing else is as empty as a blank one.
            if (!header && line.find_first_not_of('"') == std::string_view::npos) continue;
            if (header) {
                layout = ReadHeader(line);
                header = false;
                continue;
            }
            SplitFields(line, fields);
            // Name and folder are cut at the last "\\" or ":" of the path; lower case keeps those
            // marks, so the path is cut first and each part lowered into place.
            std::string_view path = Unquoted(PathField(line, fields, layout), pathRoom);
            size_t cut = path.find_last_of("\\:");
            cut = cut == std::string_view::npos ? 0 : cut + 1;
            LowerCaseInto(path.substr(cut), lowered);
            if (!ignored.empty() && IsIgnored(lowered, ignored)) continue;

            ResultRow& r = app.Results.emplace_back();
            r.Name = lowered;
            LowerCaseInto(path.substr(0, cut), lowered);
            r.Folder = lowered;
            r.SizeText = FieldText(ColumnField(fields, layout, layout.size), room, lowered);
            r.Size = LenientNumber64(r.SizeText);
            r.DateText = FieldText(ColumnField(fields, layout, layout.date), room, lowered);
            r.SortDate = SortDateKey(r.DateText);
            // A folder has an empty size; without a size column nothing tells, so no row is one.
            r.IsFolder = layout.size >= 0 && r.SizeText.empty() ? 1 : 0;
        }
    }

    port.ListDeleteAllItems();
    int k = static_cast<int>(app.Results.size());
    if (k == 0) {
        InitializeList(app);
    } else if (app.Results.size() < app.Results.capacity() / 2) {
        app.Results.shrink_to_fit();
    }
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
    CreateToolbar(app);
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
    SetPreviewPath(app, r.Folder + r.Name);
    PreviewSelection(app);
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
