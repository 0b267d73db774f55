// A recording fake of the desktop port for the core's unit tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/app.h"
#include "base/port.h"
#include "base/text.h"

namespace lumiseek::test {

struct Spoken {
    std::string text;
    int flags;
    bool operator==(const Spoken&) const = default;
};

// The value a map holds under key, if any.
template <class K, class V>
std::optional<V> Lookup(const std::map<K, V>& map, const K& key) {
    auto it = map.find(key);
    return it == map.end() ? std::nullopt : std::optional<V>(it->second);
}

struct FakePort : Port {
    // Recorded effects
    std::vector<Spoken> spoken;
    std::vector<int> rates;
    int beeps = 0;
    std::vector<std::pair<int, int>> keys;   // (vk, flags)
    std::string caption, status;
    bool ended = false, restored = false, hasToolbar = false, gridStyle = false;
    Rect normal{};               // the restored rectangle last set
    Rect window{327, 100, 1266, 839};  // on the screen: created centred in the work area below
    std::map<int, Rect> placed;
    std::map<int, bool> shown;
    std::vector<int> redrawn;
    std::string largeFont;
    int largeFontSize = 0;
    int fg = -1, bg = -1;
    int toolbarImages = 0, toolbarFont = 0, buttonsRight = 0;  // image size, text points, RBE
    std::vector<ToolButton> toolbar;          // the buttons of the toolbar shown
    std::string toolTip;
    int itemCount = -1, selectedRow = 0, topIndex = 0, setTopRow = -1, shownRow = 0;
    std::map<int, std::pair<std::string, int>> columns;
    std::string boxText;
    int selFrom = 0, selTo = 0;
    std::string clipboard;
    bool clipboardHasText = false;
    std::string clipboardFiles;          // the file-list block on the clipboard, empty when none
    bool clipboardLocked = false;        // another program holds the clipboard: nothing arrives
    std::map<std::string, std::string> files;
    std::map<std::string, uint64_t> writeTimes;  // files written through Write; others have time 0
    uint64_t clock = 0;
    std::vector<std::string> ran;                // the argument strings, one per run
    std::optional<std::string> program = "c:\\lumiseek\\es.exe";  // what FindProgram finds
    RunResult runResult{true, 0};
    std::vector<std::string> started, opened;    // programs started, files and addresses opened
    int startsFailing = 0;                        // the next programs that cannot be started
    bool shellRefuses = false, continueAfterError = true;
    std::map<std::string, std::string> associations;  // extension -> friendly program name
    std::vector<std::string> errors;             // the messages of the error boxes shown
    int exitCode = -1, focused = 0;
    bool acceleratorsAttached = false, deferredPosted = false, writesFail = false;
    std::vector<std::string> drawn;              // the preview's drawing steps, in order
    std::vector<std::vector<std::string>> printed;  // the pages of the last print
    int printPoints = 0;
    std::vector<std::string> downloads;          // the addresses fetched

    // Inputs the tests set
    bool failing = false;  // the voice, the beep and the window's size fail (throw), as an internal fault would
    int runningState = 0;
    Placement placement{};
    Rect workArea{0, 0, 1920, 1040};
    Size2 client{1584, 741};
    std::map<int, int> heights;
    int64_t counter = 0, counterStep = 0;
    Size2 pane{400, 300};
    std::map<std::string, Size2> images;         // the files the decoder reads, with their sizes
    PrintStart printStart{PrintStart::Ready, 60};
    bool printFails = false;
    std::optional<std::string> served;           // what the download gives; none: it fails
    std::map<std::string, std::string> environment;
    std::string renameRefused;                   // a file whose rename fails

    void VoiceSpeak(const std::string& text, int flags) override {
        if (failing) throw std::runtime_error("voice");
        spoken.push_back({text, flags});
    }
    int VoiceRunningState() override { return runningState; }
    void VoiceSetRate(int rate) override { rates.push_back(rate); }
    void Beep(int, int) override {
        if (failing) throw std::runtime_error("beep");
        ++beeps;
    }
    void SendKey(int vk, int flags) override { keys.emplace_back(vk, flags); }

    void SetCaption(const std::string& t) override { caption = t; }
    void SetStatusText(const std::string& t) override { status = t; }
    void SetStatusFont(const std::string&, int) override {}
    void EndWindow() override { ended = true; }
    void SetWindowSize(int w, int h) override { window.w = w; window.h = h; }
    Placement GetPlacement() override { return placement; }
    // The fake's restored rectangle is in screen coordinates (no taskbar offset).
    void RestorePlacement(Rect r) override { restored = true; normal = window = r; }
    Rect WindowRect() override { return window; }
    void SetWindowRect(Rect r) override { window = r; }
    Rect WorkAreaNear(Rect) override { return workArea; }
    void SetShowState(bool, bool) override {}
    Size2 ClientSize() override {
        if (failing) throw std::runtime_error("size");
        return client;
    }
    int ControlHeight(int id) override { return Lookup(heights, id).value_or(0); }
    void PlaceControl(int id, Rect r) override { placed[id] = r; }
    void ShowControl(int id, bool s) override { shown[id] = s; }
    void RedrawControl(int id) override { redrawn.push_back(id); }
    void RedrawWindow() override {}
    bool HasFocus(int id) override { return focused == id; }
    void Focus(int id) override { focused = id; }
    bool CtrlDown() override { return false; }
    void AttachAcceleratorTable() override { acceleratorsAttached = true; }
    void PostDeferredInit() override { deferredPosted = true; }
    void StartGdiplus() override {}

    void SetLargeFont(const std::string& f, int p) override { largeFont = f; largeFontSize = p; }
    void SetControlColors(int f, int b) override { fg = f; bg = b; }

    void MakeToolbarImages(int size) override { toolbarImages = size; }
    void RemoveToolbar() override { hasToolbar = false; toolbar.clear(); }
    void AddToolbar(const std::vector<ToolButton>& b, int points) override {
        hasToolbar = true;
        toolbar = b;
        toolbarFont = points;
    }
    int ToolbarButtonsRight() override { return hasToolbar ? buttonsRight : 0; }
    void SetToolTip(const std::string& t) override { toolTip = t; }
    void PopToolTip() override {}

    Size2 PreviewSize() override { return pane; }
    std::optional<Size2> LoadPreviewImage(const std::string& p) override {
        drawn.push_back("load " + p);
        return Lookup(images, p);
    }
    void PreviewLater(int ms) override { drawn.push_back("later " + std::to_string(ms)); }
    void PreviewClear(int bg) override { drawn.push_back("clear " + std::to_string(bg)); }
    void PreviewStretch(Rect r) override {
        drawn.push_back("stretch " + std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) +
                        "x" + std::to_string(r.h));
    }
    void PreviewWrite(int x, int y, const std::string& t, int fg) override {
        drawn.push_back("write " + std::to_string(x) + "," + std::to_string(y) + " " + t + " " + std::to_string(fg));
    }
    PrintStart BeginPrint(const std::string&, int points) override { printPoints = points; return printStart; }
    bool PrintPages(const std::vector<std::vector<std::string>>& pages) override { printed = pages; return !printFails; }

    void ListSetItemCount(int c, int) override { itemCount = c; }
    void ListDeleteAllItems() override { itemCount = 0; }
    void ListSelectRow(int row) override { selectedRow = row; }
    int ListSelectedRow() override { return selectedRow; }
    void ListEnsureVisible(int row) override { shownRow = row; }
    int ListTopIndex() override { return topIndex; }
    void ListSetTopRow(int index) override { setTopRow = index; }
    void ListSetColumn(int c, const std::string& h, int w) override {
        if (w < 0 && columns.count(c)) w = columns[c].second;
        columns[c] = {h, w};
    }
    void ListFitColumns() override {}
    void ListSetGridStyle() override { gridStyle = true; }
    void ListUpdateNow() override {}

    std::string BoxText() override { return boxText; }
    void SetBoxText(const std::string& t) override { boxText = t; }
    void BoxSelect(int from, int to) override { selFrom = from; selTo = to; }
    void BoxSelection(int& from, int& to) override { from = selFrom; to = selTo; }
    // Selection positions count UTF-16 units, as the rich edit control does.
    void BoxReplaceSelection(const std::string& t) override {
        std::u16string box = Utf8ToUtf16(boxText), ins = Utf8ToUtf16(t);
        int from = selFrom, to = selTo < 0 ? static_cast<int>(box.size()) : selTo;
        if (from > to) std::swap(from, to);
        from = std::min<int>(from, box.size());
        to = std::min<int>(to, box.size());
        boxText = Utf16ToUtf8(box.substr(0, from) + ins + box.substr(to));
        selFrom = selTo = from + static_cast<int>(ins.size());
    }

    void SetClipboardText(const std::string& t) override {
        if (clipboardLocked) return;
        clipboard = t;
        clipboardHasText = true;
        clipboardFiles.clear();
    }
    bool SetClipboardFiles(const std::string& b) override {
        if (clipboardLocked) return false;
        clipboardFiles = b;
        clipboard.clear();
        clipboardHasText = false;
        return true;
    }
    std::optional<std::string> ClipboardText() override {
        return clipboardHasText ? std::optional(clipboard) : std::nullopt;
    }

    bool FileExists(const std::string& p) override { return files.count(p) != 0; }
    bool ReadFileBytes(const std::string& p, std::string& b) override {
        if (files.count(p)) b = files[p];
        return files.count(p) != 0;
    }
    // Reads at most readPartLimit bytes at a time, as a file system may.
    size_t readPartLimit = SIZE_MAX;
    bool ReadFilePart(const std::string& p, uint64_t offset, size_t count, std::string& b) override {
        if (!files.count(p)) return false;
        b = offset < files[p].size() ? files[p].substr(offset, std::min(count, readPartLimit)) : "";
        return true;
    }
    // A file written now: its stamp changes even when its bytes do not.
    void Write(const std::string& p, const std::string& b) {
        files[p] = b;
        writeTimes[p] = ++clock;
    }
    bool WriteFileReplacing(const std::string& p, const std::string& b) override {
        if (writesFail) return false;
        Write(p, b);
        return true;
    }
    bool RemoveFile(const std::string& p) override {
        writeTimes.erase(p);
        return files.erase(p) != 0;
    }
    bool RenameFile(const std::string& from, const std::string& to) override {
        if (from == renameRefused || !files.count(from) || files.count(to)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    std::optional<std::string> servedSignature;  // what an address ending in ".sig" gives
    std::vector<DownloadProgress> progress;      // what each download's watcher sees before it ends
    std::optional<DownloadEnd> downloadEnd;      // how downloads of the program end, whatever is served
    std::optional<DownloadEnd> signatureEnd;     // how downloads of a signature end
    std::vector<uint64_t> downloadLimits;        // the byte limit of each download
    DownloadEnd Download(const std::string& address, const std::string& p, uint64_t maxBytes,
                         const DownloadWatch& watch) override {
        downloads.push_back(address);
        downloadLimits.push_back(maxBytes);
        for (const auto& step : progress)
            if (!watch(step)) return DownloadEnd::Stalled;
        const bool signature = address.ends_with(".sig");
        if (const auto& end = signature ? signatureEnd : downloadEnd) return *end;
        const auto& body = signature ? servedSignature : served;
        if (!body) return DownloadEnd::Failed;
        if (body->size() > maxBytes) return DownloadEnd::TooLarge;
        Write(p, *body);
        return DownloadEnd::Finished;
    }
    std::map<std::string, ProgramVersion> versions;  // file contents -> their version resource
    std::optional<ProgramVersion> VersionOf(const std::string& p) override {
        return files.count(p) ? Lookup(versions, files[p]) : std::nullopt;
    }
    std::optional<FileStamp> FileStampOf(const std::string& p) override {
        if (!files.count(p)) return std::nullopt;
        return FileStamp{Lookup(writeTimes, p).value_or(0), files[p].size()};
    }
    std::string SettingsPath() override { return "lumiseek.ini"; }
    std::string AnsiToUtf8(const std::string& b) override { return Windows1252ToUtf8(b); }

    std::optional<std::string> FindProgram(const std::string& name) override {  // found under its own name only
        return program && program->substr(program->rfind('\\') + 1) == name ? program : std::nullopt;
    }
    std::string ProgramFolder() override { return "C:\\Program Files\\Lumiseek\\"; }
    RunResult RunHidden(const std::string&, const std::string& a) override {
        ran.push_back(a);
        return runResult;
    }
    bool StartProgram(const std::string& p) override {
        started.push_back(p);
        return startsFailing-- <= 0;
    }
    bool ShellOpen(const std::string& t) override { opened.push_back(t); return !shellRefuses; }
    std::optional<std::string> AssociatedProgram(const std::string& ext) override { return Lookup(associations, ext); }
    int ProcessId() override { return 4242; }
    std::optional<std::string> EnvironmentVariable(const std::string& name) override {
        return Lookup(environment, name);
    }
    std::string ExpandEnvironment(const std::string& t) override {
        return ReplaceAll(t, "%ProgramFiles%", "C:\\Program Files");
    }

    // The signatures the fake accepts: (public key, data) -> signature.
    std::map<std::pair<std::string, std::string>, std::string> signatures;
    bool VerifySignature(const std::string& key, const std::string& data, const std::string& sig) override {
        return Lookup(signatures, std::pair(key, data)) == sig;
    }

    int64_t Counter() override { counter += counterStep; return counter; }
    int64_t CounterFrequency() override { return 1000; }

    bool AskContinueAfterError(const std::string& m) override { errors.push_back(m); return continueAfterError; }
    void ExitProcess(int code) override { exitCode = code; }

    // Helpers for assertions
    std::string LastSpoken() const { return spoken.empty() ? std::string() : spoken.back().text; }
    std::vector<std::string> SpokenTexts() const {
        std::vector<std::string> out;
        for (const auto& s : spoken) out.push_back(s.text);
        return out;
    }
};

}  // namespace lumiseek::test

namespace lumiseek {
using test::FakePort;
using test::Spoken;
using Texts = std::vector<std::string>;

// The names of the result rows, in their order.
inline Texts RowNames(const App& app) {
    Texts names;
    for (const auto& r : app.Results) names.push_back(r.Name);
    return names;
}
}  // namespace lumiseek
