#include "search/search.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "base/app.h"
#include "base/guard.h"
#include "base/ids.h"
#include "base/settings.h"
#include "base/text.h"
#include "search/all_drives.h"
#include "search/columns.h"
#include "search/results.h"
#include "speech/speech.h"
#include "view/layout.h"

namespace lumiseek {

namespace {

// Windows' limit for a whole command line, its closing zero included, in UTF-16 units.
constexpr size_t kCommandLineMax = 32767;
constexpr const char* kSystemFolders = " !c:\\windows\\ !c:\\$recycle.bin\\ ";
constexpr std::string_view kAllowedMarks = "!%*()-_=+\\|:./?\"";
constexpr std::string_view kBlanks = " \t";
// The characters after which a word of the argument string starts.
constexpr std::string_view kWordStarts = " !|\"";

bool Allowed(char ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == ' ' ||
           kAllowedMarks.find(ch) != std::string_view::npos;
}

std::string Announcement(int searchType, const std::string& term) {
    switch (searchType) {
        case 1: return "File Search for " + term;
        case 2: return "Folder Search for " + term;
        case 3: return "Search All for " + term;
        default: return "Custom Search" + term;
    }
}

std::string TypeSwitches(int searchType) {
    switch (searchType) {
        case 1: return " -size -size-format 2 -dm /a-d ";
        case 2: return " -size -size-format 2 -dm /ad ";
        default: return " -size -size-format 2 -dm ";
    }
}

// Seconds between two counter values, in the caption's form.
std::string Seconds(int64_t from, int64_t to, int64_t frequency) {
    return FormatMask(static_cast<double>(to - from) / static_cast<double>(frequency > 0 ? frequency : 1), "###.0");
}

// What the import left out, told after the first name: rows too long to be paths, a list cut at
// its limit, a last row still being written.
std::string ImportNotes(const ImportOutcome& imported) {
    std::string notes;
    if (imported.tooLong == 1) notes += " : 1 Row Too Long Was Left Out";
    if (imported.tooLong > 1) notes += " : " + FormatMask(imported.tooLong, "##,##0") + " Rows Too Long Were Left Out";
    if (imported.cut) notes += " : The List Stops at " + FormatMask(imported.rows, "##,##0") + " Rows";
    if (imported.unfinished) notes += " : The Last Row Was Still Being Written";
    return notes;
}

// What the list showed before a search: its rows, the selected row (from 1) and the top index.
struct ShownList {
    ResultTable rows;
    int selected = 0;
    int top = 0;
};

// Shows the rows again as they were, the same row selected; returns that row.
int RestoreList(App& app, ShownList shown) {
    app.port.ListDeleteAllItems();
    if (shown.rows.empty()) {
        InitializeList(app);
    } else {
        app.Results = std::move(shown.rows);
    }
    ShowSearchResults(app);
    int row = shown.selected >= 1 && shown.selected <= static_cast<int>(app.Results.size()) ? shown.selected : 1;
    if (row != 1) {
        SetTopLvRow(app, shown.top);
        app.port.ListSelectRow(row);
    }
    return row;
}

}  // namespace

int ValidSearchTerm(App& app) {
    for (char ch : app.settings.SearchTerm) {
        if (!Allowed(ch)) {
            app.port.Focus(ctl::SearchBox);
            app.port.BoxSelect(0, -1);
            return 0;
        }
    }
    return 1;
}

std::string FolderString(App& app) {
    if (app.settings.ExcludeSystemFolders == 0) return "";
    std::string bytes;
    if (!app.port.FileExists("exclusion.txt") || !app.port.ReadFileBytes("exclusion.txt", bytes)) return kSystemFolders;
    std::string text = DecodeOutsideText(app, bytes);
    // One " !" term per line; lines end at CR LF, LF or CR, and blank lines give no term. es
    // splits its arguments at blanks outside double quotes and takes no escapes inside them (a
    // backslash before the closing quote is part of the path), so a line holding a blank is
    // quoted whole. No path holds a double quote: one in a line is dropped, so that it cannot
    // end the quoting early.
    std::string folders;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        std::string line;
        for (char ch : std::string_view(text).substr(start, end - start))
            if (ch != '"') line += ch;
        start = end + 1;
        size_t first = line.find_first_not_of(kBlanks);
        if (first == std::string::npos) continue;
        line = line.substr(first, line.find_last_not_of(kBlanks) + 1 - first);
        folders += " !" + QuoteEsArgument(line);
    }
    return folders;
}

void CreateFileTypeLists(App& app) {
    app.AudioTypes = std::string("ext:aac;ac3;aif;aifc;aiff;au;cda;dts;fla;flac;it;m1a;m2a;m3u;m4a;m4b;") +
                     "m4p;mid;midi;mka;mod;mp2;mp3;mpa;ogg;ra;rmi;snd;spc;umx;voc;wav;wma;xm";
    app.ZipTypes = std::string("ext:7z;ace;arj;bz2;cab;gz;gzip;jar;r00;r01;r02;r03;r04;r05;r06;r07;r08;") +
                   "r09;r10;r11;r12;r13;r14;r15;r16;r17;r18;r19;r20;r21;r22;r23;r24;r25;r26;r27;" +
                   "r28;r29;rar;tar;tgz;z;zip";
    app.DocTypes = std::string("ext:c;chm;cpp;csv;cxx;doc;docm;docx;dot;dotm;dotx;h;hpp;htm;html;") +
                   "hxx;ini;java;lua;mht;mhtml;odt;pdf;potx;potm;ppam;ppsm;ppsx;pps;ppt;pptm;" +
                   "pptx;rtf;sldm;sldx;thmx;txt;vsd;wpd;wps;wri;xlam;xls;xlsb;xlsm;xlsx;xltm;xltx;xml";
    app.ExeTypes = "ext:bat;cmd;exe;msi;msp;scr";
    app.PicTypes = "ext:ani;bmp;gif;ico;jpe;jpeg;jpg;pcx;png;psd;tga;tif;tiff;webp;wmf";
    app.VideoTypes = std::string("ext:3g2;3gp;3gp2;3gpp;amr;amv;asf;avi;bdmv;bik;d2v;divx;drc;dsa;dsm;dss;") +
                     "dsv;evo;f4v;flc;fli;flic;flv;hdmov;ifo;ivf;m1v;m2p;m2t;m2ts;m2v;m4v;mkv;" +
                     "mp2v;mp4;mp4v;mpe;mpeg;mpg;mpls;mpv2;mpv4;mov;mts;ogm;ogv;pss;pva;qt;ram;" +
                     "ratdvd;rm;rmm;rmvb;roq;rpm;smil;smk;swf;tp;tpr;ts;vob;vp6;webm;wm;wmp;wmv";
}

void ExpandEsPrefixes(App& app) {
    const std::pair<std::string_view, const std::string*> prefixes[] = {
        {"audio:", &app.AudioTypes}, {"zip:", &app.ZipTypes}, {"doc:", &app.DocTypes},
        {"exe:", &app.ExeTypes},     {"pic:", &app.PicTypes}, {"video:", &app.VideoTypes}};
    const std::string& c = app.SearchCommand;
    std::string out;
    for (size_t i = 0; i < c.size();) {
        // A prefix counts only where a word starts, so "topic:" and "gzip:" stay as typed.
        bool matched = false;
        if (i == 0 || kWordStarts.find(c[i - 1]) != std::string_view::npos) {
            for (const auto& [prefix, list] : prefixes) {
                if (c.compare(i, prefix.size(), prefix) == 0) {
                    out += *list;
                    i += prefix.size();
                    matched = true;
                    break;
                }
            }
        }
        if (!matched) out += c[i++];
    }
    app.SearchCommand = std::move(out);
}

std::string SpreadSearchTerm(const App& app) {
    const std::string& term = app.settings.SearchTerm;
    if (TrimSpaces(term).empty()) return "Empty";
    return ReplaceAll(ReplaceAll(term, "*", " *"), "?", " ?");
}

std::string SearchFailureReason(uint32_t exitCode) {
    if (exitCode == 8) return "Everything is not running";
    // An exception code (an access violation, a stack overflow, ...): the engine crashed.
    if (exitCode >= 0xC0000000u) return "the search engine stopped unexpectedly";
    return "error" + NumberText(exitCode);
}

bool CommandLineTooLong(const std::string& program, const std::string& arguments) {
    // The quoted program path, a blank, the arguments and the closing zero, in UTF-16 units.
    return Utf8ToUtf16(program).size() + Utf8ToUtf16(arguments).size() + 4 > kCommandLineMax;
}

namespace {

// One search. `path`, when given, is a folder searched for as it is (Expand): it is neither
// typed nor validated, and reaches es as one argument.
void RunSearch(App& app, int searchType, const std::string* path) {
    Port& port = app.port;
    Settings& s = app.settings;
    // A search started from the settings or actions list that finds nothing new goes back to
    // that list, rows and mode alike.
    int shownMode = s.SearchType;
    s.SearchType = searchType;

    // 1 to 3: layout, filelist.txt, the term.
    Resize(app);
    if (port.FileExists("filelist.txt")) port.RemoveFile("filelist.txt");
    s.SearchTerm = path != nullptr ? LowerCase(*path) : TrimSpaces(LowerCase(FirstChars(port.BoxText(), kSearchTermMax)));

    // 4 to 7: validity, the type, the sort and count clauses.
    if (path == nullptr && s.SearchType != 4 && ValidSearchTerm(app) == 0) {
        if (shownMode == 5 || shownMode == 6) s.SearchType = shownMode;
        SpeakOne(app, "Invalid Search Term");
        return;
    }
    s.LastSearchType = s.SearchType;
    std::string sortClause = s.SortType != 0 ? " -sort dm " : " -sort name ";
    std::string countClause = s.MaxResults == 0 ? "" : " -n" + NumberText(s.MaxResults);

    // 8, 9: the waiting state, then the announcement, spoken to its end. The rows shown until
    // now are set aside, for a run that writes no new ones.
    ShownList previous{std::move(app.Results), port.ListSelectedRow(), port.ListTopIndex()};
    ResultRow loading;
    loading.Name = "Loading ...";
    app.Results.assign(1, loading);
    port.ListSetItemCount(1, 0);
    port.ListSelectRow(1);
    port.ListSetColumn(1, "Name", -1);
    port.ListUpdateNow();
    SpeakOneWait(app, Announcement(s.SearchType, s.SearchTerm));
    SayWhenSearchingAllDrives(app);

    // 10 to 12: the argument string. It reaches es exactly so: no command interpreter reads it.
    // The prefixes are expanded in the term only: an exclusion line is a folder, taken as written.
    if (path != nullptr) {
        app.SearchCommand = QuoteEsArgument(*path);
    } else {
        app.SearchCommand = s.SearchTerm;
        ExpandEsPrefixes(app);
    }
    if (s.SearchType != 4) {
        app.SearchCommand = FolderString(app) + TypeSwitches(s.SearchType) + sortClause + countClause +
                            " -export-csv results.txt " + app.SearchCommand;
    }

    // 13, 14: the engine run, then the arguments on the clipboard. A command line Windows would
    // refuse (or Wine would cut) is not run at all.
    std::optional<std::string> es = port.FindProgram("es.exe");
    bool tooLong = es && CommandLineTooLong(*es, app.SearchCommand);
    std::optional<FileStamp> before = port.FileStampOf(kResultsFile);
    int64_t first = port.Counter();
    RunResult run;
    if (es && !tooLong) run = port.RunHidden(*es, app.SearchCommand);
    int64_t second = port.Counter();
    port.SetClipboardText(app.SearchCommand);

    // 15, 16: only results of a run that ended well are imported; otherwise the list shows again
    // what it showed before.
    std::optional<FileStamp> after = port.FileStampOf(kResultsFile);
    bool written = run.started && !run.cancelled && run.exitCode == 0 && after && after != before;
    int k = 0;
    int shownRow = 1;
    ImportOutcome imported;
    if (written) {
        ResultTable().swap(previous.rows);  // the old rows go before the new ones come
        k = ImportResults(app, &imported);
        ShowSearchResults(app);
    } else {
        shownRow = RestoreList(app, std::move(previous));
        if (shownMode == 5 || shownMode == 6) s.SearchType = shownMode;
    }
    AskToolbarRebuild(app);
    if (s.FocusOnRE != 0) {
        port.BoxSelect(0, -1);
        port.Focus(ctl::SearchBox);
    }

    // 17 to 19: the caption, the outcome, the status bar.
    int64_t third = port.Counter();
    port.SetCaption(std::string("Lumiseek ") + kVersion + "    " + Seconds(first, second, app.CounterFrequency) +
                    " sec : " + Seconds(first, third, app.CounterFrequency) + " sec  " + " ... " +
                    app.SearchCommand);
    if (!es) {
        SpeakOne(app, "Search Failed : the es program was not found");
    } else if (tooLong) {
        SpeakOne(app, "Search Failed : the exclusion list is too long");
    } else if (!run.started) {
        SpeakOne(app, "Search Failed : the es program could not be started");
    } else if (run.cancelled) {
        SpeakOne(app, "Search Cancelled");
    } else if (run.exitCode != 0) {
        SpeakOne(app, "Search Failed : " + SearchFailureReason(run.exitCode));
    } else if (!written) {
        SpeakOne(app, "Search Failed : no results were written");
    } else {
        SpeakOne(app, "Search is complete : " + FormatMask(k, "##,##0") + (k == 1 ? " Match : " : " Matches : ") +
                          app.Results[0].Name + ImportNotes(imported));
    }
    ST(app, RowSummary(app, shownRow));
}

}  // namespace

void Search(App& app, int searchType) { RunSearch(app, searchType, nullptr); }

void SearchFolder(App& app, const std::string& folder) { RunSearch(app, 3, &folder); }

}  // namespace lumiseek
