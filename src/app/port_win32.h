// The desktop port implemented with Win32 calls, one file per concern: port_voice_win32.cpp,
// port_window_win32.cpp (window, fonts, colours), port_toolbar_, port_preview_, port_print_,
// port_list_ (results list and search box), port_clipboard_, port_files_, port_net_ (download,
// signature), port_process_ (processes, shell, time, the error box).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>

#include "base/port.h"

struct ISpVoice;

namespace lumiseek {

// The full path of the running program (port_files_win32.cpp).
std::wstring ModulePath();
// The folder of the running program, with its closing backslash (port_files_win32.cpp).
std::wstring ModuleFolder();

// How a wait that keeps the window answering ended.
enum class WaitEnd { Signalled, TimedOut, Cancelled };

// Waits for `handle` (null: only for the time or the user) while the window keeps painting and
// answering: Esc, or a request to close the window (Alt+F4, the close button), cancels the wait;
// other keys and clicks meant for the window are dropped, so no second command starts inside the
// first. A close request is posted again once the wait is over, so the window still closes when
// the interrupted command returns. `timeoutMs` INFINITE waits until the handle or the user.
WaitEnd WaitAnswering(HWND window, HANDLE handle, DWORD timeoutMs);

// Port::VerifySignature with BCrypt (signature_win32.cpp).
bool VerifyEcdsaP256(const std::string& publicKey, const std::string& data, const std::string& signature);

class Win32Port : public Port {
public:
    HWND hwnd = nullptr;          // the main window
    HWND status = nullptr;        // status bar (503)
    HACCEL accelerators = nullptr;
    ISpVoice* voice = nullptr;    // null: a silent voice
    int showCommand = SW_SHOWNORMAL;
    ULONG_PTR gdiplusToken = 0;   // GDI+ stays started for the whole run
    HWND tooltip = nullptr;       // the large tooltip
    WNDPROC toolbarProc = nullptr;     // put in front of each new toolbar's own procedure
    WNDPROC oldToolbarProc = nullptr;  // the toolbar's own procedure

    void VoiceSpeak(const std::string& text, int flags) override;
    int VoiceRunningState() override;
    void VoiceSetRate(int rate) override;
    void Beep(int hz, int ms) override;
    void SendKey(int vk, int flags) override;

    void SetCaption(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SetStatusFont(const std::string& face, int points) override;
    void EndWindow() override;
    void SetWindowSize(int width, int height) override;
    Placement GetPlacement() override;
    void RestorePlacement(Rect normal) override;
    Rect WindowRect() override;
    void SetWindowRect(Rect r) override;
    Rect WorkAreaNear(Rect r) override;
    void SetShowState(bool maximized, bool minimized) override;
    Size2 ClientSize() override;
    int ControlHeight(int id) override;
    void PlaceControl(int id, Rect r) override;
    void ShowControl(int id, bool show) override;
    void RedrawControl(int id) override;
    void RedrawWindow() override;
    bool HasFocus(int id) override;
    void Focus(int id) override;
    bool CtrlDown() override;
    void AttachAcceleratorTable() override;
    void PostDeferredInit() override;
    void StartGdiplus() override;

    void SetLargeFont(const std::string& face, int points) override;
    void SetControlColors(int fg, int bg) override;

    void MakeToolbarImages(int size) override;
    void RemoveToolbar() override;
    void AddToolbar(const std::vector<ToolButton>& buttons, int fontPoints) override;
    int ToolbarButtonsRight() override;
    void SetToolTip(const std::string& text) override;
    void PopToolTip() override;
    // The large tooltip: created once, owned by the main window.
    void CreateTooltips();

    Size2 PreviewSize() override;
    std::optional<Size2> LoadPreviewImage(const std::string& path) override;
    void PreviewClear(int bg) override;
    void PreviewStretch(Rect to) override;
    void PreviewWrite(int x, int y, const std::string& text, int fg) override;
    void PreviewLater(int ms) override;
    // Puts the pane's picture on the screen (the pane's WM_PAINT).
    void PaintPreview(HWND pane, HDC dc);

    PrintStart BeginPrint(const std::string& face, int points) override;
    bool PrintPages(const std::vector<std::vector<std::string>>& pages) override;

    void ListSetItemCount(int count, int flags) override;
    void ListDeleteAllItems() override;
    void ListSelectRow(int row) override;
    int ListSelectedRow() override;
    void ListEnsureVisible(int row) override;
    int ListTopIndex() override;
    void ListSetTopRow(int index) override;
    void ListSetColumn(int column, const std::string& header, int width) override;
    void ListFitColumns() override;
    void ListSetGridStyle() override;
    void ListUpdateNow() override;

    std::string BoxText() override;
    void SetBoxText(const std::string& text) override;
    void BoxSelect(int from, int to) override;
    void BoxSelection(int& from, int& to) override;
    void BoxReplaceSelection(const std::string& text) override;

    void SetClipboardText(const std::string& text) override;
    std::optional<std::string> ClipboardText() override;
    bool SetClipboardFiles(const std::string& dropFiles) override;

    bool FileExists(const std::string& path) override;
    bool ReadFileBytes(const std::string& path, std::string& bytes) override;
    bool ReadFilePart(const std::string& path, uint64_t offset, size_t count, std::string& bytes) override;
    bool WriteFileReplacing(const std::string& path, const std::string& bytes) override;
    bool RemoveFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    std::optional<FileStamp> FileStampOf(const std::string& path) override;
    std::string SettingsPath() override;
    std::string AnsiToUtf8(const std::string& bytes) override;

    DownloadEnd Download(const std::string& address, const std::string& path, uint64_t maxBytes,
                         const DownloadWatch& watch) override;
    std::optional<ProgramVersion> VersionOf(const std::string& path) override;
    bool VerifySignature(const std::string& publicKey, const std::string& data,
                         const std::string& signature) override;

    std::optional<std::string> FindProgram(const std::string& name) override;
    std::string ProgramFolder() override;
    RunResult RunHidden(const std::string& program, const std::string& arguments) override;
    bool StartProgram(const std::string& path) override;
    bool ShellOpen(const std::string& target) override;
    std::optional<std::string> AssociatedProgram(const std::string& extension) override;
    int ProcessId() override;
    std::optional<std::string> EnvironmentVariable(const std::string& name) override;
    std::string ExpandEnvironment(const std::string& text) override;

    int64_t Counter() override;
    int64_t CounterFrequency() override;

    bool AskContinueAfterError(const std::string& message) override;
    void ExitProcess(int code) override;

    // A bold font of this face and size in points, for the screen's DPI.
    HFONT MakeFont(const std::string& face, int points);

private:
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
    HFONT largeFont = nullptr;  // the controls' current large font, deleted when replaced
    HIMAGELIST toolbarImages = nullptr;
    std::map<int, HFONT> toolbarFonts;  // by size in points, kept for the run
    HWND toolTipTool = nullptr;         // the toolbar the large tooltip is registered for
    std::wstring toolTipText;
    std::shared_ptr<void> previewImage;  // the last decoded image (a Gdiplus::Bitmap), kept by GDI+
    HBITMAP previewPicture = nullptr; // what the pane shows, of the pane's client size
    Size2 previewPictureSize;
    HDC printer = nullptr;            // the printer of the print run under way
    HFONT printFont = nullptr;
    int printLineHeight = 0;
};

}  // namespace lumiseek
