// The desktop port: the one narrow interface through which the core acts on the world.
// The Win32 shell implements it with Win32 calls; unit tests use a recording fake.
// All text is UTF-8. Rows are counted from 1, list indexes handed to the list view from 0.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumiseek {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

struct Size2 {
    int w = 0, h = 0;
};

// The restored (normal) rectangle of the main window and its show state.
struct Placement {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool minimized = false, maximized = false;
};

// Outcome of running a program and waiting for it.
struct RunResult {
    bool started = false;      // false: the process could not be created at all
    uint32_t exitCode = 0;     // the process's exit code when started
    bool cancelled = false;    // the user cancelled the wait: the program and all it started were ended
};

// When a file was last written and how large it is: a file written anew gets a new stamp.
struct FileStamp {
    uint64_t writeTime = 0;
    uint64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

// How a download ended: the whole file arrived, more than the limit would have arrived, the watcher
// stopped it (nothing arrived for too long), the user cancelled it, or it failed (no connection, an
// answer other than 200 OK, a broken transfer, a file that cannot be written).
enum class DownloadEnd { Finished, TooLarge, Stalled, Cancelled, Failed };

// A download under way, as its watcher sees it about once a second.
struct DownloadProgress {
    uint64_t received = 0;   // bytes so far
    uint64_t total = 0;      // the size the server announced; 0 when it announced none
    int64_t elapsedMs = 0;   // since the download began
    int64_t quietMs = 0;     // since the last byte arrived, or since the beginning before the first
};

// Called about once a second on the window's thread while a download runs; false stops it.
using DownloadWatch = std::function<bool(const DownloadProgress&)>;

// What a program file's version resource says: FILEVERSION (major, minor, build, revision) and
// the OriginalFilename text of its first language.
struct ProgramVersion {
    std::array<uint16_t, 4> number{};
    std::string originalName;
};

// One toolbar button: the command it sends, its image (position in the toolbar image list, from
// 1) and its text (empty: the icon alone). A separator when gap is above 0: gap pixels wide.
struct ToolButton {
    int command = 0;
    int image = 0;
    std::string text;
    int gap = 0;
    bool operator==(const ToolButton&) const = default;
};

// How opening the printer for a print run ended: ready (with the lines that fit on a page), cancelled
// in the print dialog, or failed (no printer, a printer that cannot be used).
struct PrintStart {
    enum Outcome { Ready, Cancelled, Failed };
    Outcome outcome = Failed;
    int linesPerPage = 0;
};

// Speak flags of the voice.
constexpr int SPF_ASYNC = 1;
constexpr int SPF_PURGEBEFORESPEAK = 2;
// Running state of the voice that means it is speaking.
constexpr int SPRS_IS_SPEAKING = 2;

struct Port {
    virtual ~Port() = default;

    // --- the voice (a voice that could not be created, or whose calls fail, is silent) ---
    virtual void VoiceSpeak(const std::string& text, int flags) = 0;
    virtual int VoiceRunningState() = 0;  // 0 when unknown or silent
    virtual void VoiceSetRate(int rate) = 0;
    virtual void Beep(int hz, int ms) = 0;
    // One synthesised key event (keybd_event): virtual key and flags (1 extended, 2 key-up).
    virtual void SendKey(int vk, int flags) = 0;

    // --- the main window ---
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;  // first part of the status bar, repainted now
    virtual void SetStatusFont(const std::string& face, int points) = 0;
    virtual void EndWindow() = 0;                              // closes the main window
    virtual void SetWindowSize(int width, int height) = 0;    // outer size, not moved
    virtual Placement GetPlacement() = 0;
    // Sets the restored (normal) rectangle, in the coordinates GetPlacement reports it in.
    virtual void RestorePlacement(Rect normal) = 0;
    virtual Rect WindowRect() = 0;                            // outer rectangle on the screen
    virtual void SetWindowRect(Rect r) = 0;                   // moves and sizes, screen coordinates
    virtual Rect WorkAreaNear(Rect r) = 0;                    // work area of the monitor nearest to r
    virtual void SetShowState(bool maximized, bool minimized) = 0;
    virtual Size2 ClientSize() = 0;
    virtual int ControlHeight(int id) = 0;                    // outer height; 0 when absent or hidden
    virtual void PlaceControl(int id, Rect r) = 0;
    virtual void ShowControl(int id, bool show) = 0;
    virtual void RedrawControl(int id) = 0;                   // invalidate and repaint now
    virtual void RedrawWindow() = 0;
    virtual bool HasFocus(int id) = 0;
    virtual void Focus(int id) = 0;
    virtual bool CtrlDown() = 0;
    virtual void AttachAcceleratorTable() = 0;                // the 64 entries of AcceleratorTable()
    virtual void PostDeferredInit() = 0;                      // posts WM_USER + 500 to the main window
    virtual void StartGdiplus() = 0;                          // once; kept for the whole run

    // --- fonts and colours ---
    virtual void SetLargeFont(const std::string& face, int points) = 0;  // search box, list, preview
    virtual void SetControlColors(int fg, int bg) = 0;

    // --- the toolbar (502) and the large tooltip ---
    virtual void MakeToolbarImages(int size) = 0;        // the toolbar image list anew, size by size pixels
    virtual void RemoveToolbar() = 0;                    // none afterwards; nothing when there is none
    // Creates the toolbar along the top with these buttons, their texts in bold "Arial Black" of
    // fontPoints points.
    virtual void AddToolbar(const std::vector<ToolButton>& buttons, int fontPoints) = 0;
    virtual int ToolbarButtonsRight() = 0;               // right edge of the last button; 0 without toolbar
    virtual void SetToolTip(const std::string& text) = 0;  // the large tooltip's text over the toolbar
    virtual void PopToolTip() = 0;                       // hides the large tooltip if it shows

    // --- the image preview pane: the pane shows a picture of its own client size, which these
    // calls draw and RedrawControl(ctl::Preview) puts on the screen ---
    virtual Size2 PreviewSize() = 0;                 // the pane's client size
    // Decodes an image file and keeps it in place of the one kept before; its size in pixels, or
    // none when it cannot be decoded (nothing is kept then).
    virtual std::optional<Size2> LoadPreviewImage(const std::string& path) = 0;
    virtual void PreviewClear(int bg) = 0;           // the whole picture in one colour
    // The whole kept image onto `to` of the picture, scaled in one pass (halftone); its transparent
    // parts show the picture's colour there.
    virtual void PreviewStretch(Rect to) = 0;
    virtual void PreviewWrite(int x, int y, const std::string& text, int fg) = 0;  // in the pane's font
    // (Re)starts the one preview timer: `ms` milliseconds after the last call the shell calls
    // OnPreviewDue once.
    virtual void PreviewLater(int ms) = 0;

    // --- printing ---
    // The print dialog, then the chosen printer with a regular font of that face and size (1 copy,
    // portrait); the lines per page come from the height of "X" in that font.
    virtual PrintStart BeginPrint(const std::string& face, int points) = 0;
    // Prints the pages (each line flush left, one under the other), ends the document and releases
    // the printer; false when the document could not be printed.
    virtual bool PrintPages(const std::vector<std::vector<std::string>>& pages) = 0;

    // --- the results list (virtual report list view) ---
    virtual void ListSetItemCount(int count, int flags) = 0;
    virtual void ListDeleteAllItems() = 0;
    virtual void ListSelectRow(int row) = 0;        // select, focus and scroll into view (row from 1)
    virtual int ListSelectedRow() = 0;              // from 1; 0 when none
    virtual void ListEnsureVisible(int row) = 0;    // scroll the least that shows the row whole (from 1)
    virtual int ListTopIndex() = 0;                 // from 0
    virtual void ListSetTopRow(int index) = 0;      // scroll so that index (from 0) is the top row
    virtual void ListSetColumn(int column, const std::string& header, int width) = 0;  // column from 1; width < 0 keeps it
    virtual void ListFitColumns() = 0;
    virtual void ListSetGridStyle() = 0;            // grid lines and full-row selection
    virtual void ListUpdateNow() = 0;               // repaint at once

    // --- the search box (rich edit) ---
    virtual std::string BoxText() = 0;
    virtual void SetBoxText(const std::string& text) = 0;
    virtual void BoxSelect(int from, int to) = 0;   // character positions; to = -1 means the end
    virtual void BoxSelection(int& from, int& to) = 0;
    virtual void BoxReplaceSelection(const std::string& text) = 0;

    // --- clipboard ---
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual std::optional<std::string> ClipboardText() = 0;
    // Puts a file-list block (CF_HDROP, the bytes as they are) on the clipboard in place of its
    // contents. False when another program holds the clipboard or memory runs out; the clipboard
    // is then left as it was.
    virtual bool SetClipboardFiles(const std::string& dropFiles) = 0;

    // --- files, relative to the program's folder ---
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool ReadFileBytes(const std::string& path, std::string& bytes) = 0;
    // Up to `count` bytes from `offset` on (fewer near the end, none beyond it); false when the
    // file cannot be read. For files too large to hold twice.
    virtual bool ReadFilePart(const std::string& path, uint64_t offset, size_t count, std::string& bytes) = 0;
    // Writes the whole file to a temporary file beside it, then moves it into place.
    virtual bool WriteFileReplacing(const std::string& path, const std::string& bytes) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Renames a file; false when it could not (no such file, the new name is taken).
    virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
    virtual std::optional<FileStamp> FileStampOf(const std::string& path) = 0;  // none when no such file
    virtual std::string SettingsPath() = 0;         // the executable's name with ".ini", beside it
    virtual std::string AnsiToUtf8(const std::string& bytes) = 0;  // the system ANSI code page

    // --- network: the download and its signature ---
    // Fetches an address into a file (redirects followed; only a 200 OK answer is a file) on a thread
    // of its own, while the window keeps painting and answering. Ends TooLarge as soon as the
    // announced size or the bytes received pass maxBytes, Cancelled on Esc or a request to close
    // the window, Stalled when `watch` returns false. Whatever the end, no copy is left in the
    // Internet cache, and only Finished leaves a file at `path` (a download abandoned inside a read
    // that does not return deletes its partial file when the read ends).
    virtual DownloadEnd Download(const std::string& address, const std::string& path, uint64_t maxBytes,
                                 const DownloadWatch& watch) = 0;
    // The version resource of a program file; none when it has none or cannot be read.
    virtual std::optional<ProgramVersion> VersionOf(const std::string& path) = 0;
    // True when `signature` (r then s, 32 bytes each) is an ECDSA P-256 signature of the SHA-256
    // of `data` made with the private half of `publicKey` (X then Y, 32 bytes each).
    virtual bool VerifySignature(const std::string& publicKey, const std::string& data,
                                 const std::string& signature) = 0;

    // --- processes and the shell ---
    // The full path of a program: in the program's own folder first, then along PATH; none when
    // neither has it.
    virtual std::optional<std::string> FindProgram(const std::string& name) = 0;
    // The full path of the running program's folder, ending in a backslash.
    virtual std::string ProgramFolder() = 0;
    // Starts the program at `program` with exactly `arguments` after its quoted path, with no
    // window and no command interpreter, and waits for it while the window keeps answering. Esc
    // or a request to close the window cancels the wait: the program and every process it
    // started are ended.
    virtual RunResult RunHidden(const std::string& program, const std::string& arguments) = 0;
    // Starts a command line (a path holding blanks in double quotes): normal window, not waited for.
    virtual bool StartProgram(const std::string& commandLine) = 0;
    // Opens a file, folder or address with the shell's "open" verb, the whole path as given; false
    // when the shell refused it (ShellExecuteW returned 32 or less).
    virtual bool ShellOpen(const std::string& target) = 0;
    // The friendly name of the program that opens files with this extension (dot included); none
    // when the extension has no association.
    virtual std::optional<std::string> AssociatedProgram(const std::string& extension) = 0;
    virtual int ProcessId() = 0;
    virtual std::optional<std::string> EnvironmentVariable(const std::string& name) = 0;
    // The text with its %NAME% environment references replaced.
    virtual std::string ExpandEnvironment(const std::string& text) = 0;

    // --- time ---
    virtual int64_t Counter() = 0;
    virtual int64_t CounterFrequency() = 0;

    // --- the generic error box: true for OK (continue), false for Cancel ---
    virtual bool AskContinueAfterError(const std::string& message) = 0;
    virtual void ExitProcess(int code) = 0;
};

}  // namespace lumiseek
