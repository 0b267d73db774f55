#include "actions/clipboard.h"

#include <cstdint>

#include "base/app.h"
#include "base/text.h"
#include "search/results.h"
#include "speech/search_box.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {

constexpr uint32_t kDropFilesHeaderBytes = 20;

// Up to eight bytes, so the value is 64 bits wide: a wider shift than the type would be undefined.
void AppendLittleEndian(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string DropFilesBlock(const std::string& path) {
    std::string block;
    AppendLittleEndian(block, kDropFilesHeaderBytes, 4);  // pFiles: where the list starts
    AppendLittleEndian(block, 0, 8);                      // pt: the drop point
    AppendLittleEndian(block, 0, 4);                      // fNC: not in a non-client area
    AppendLittleEndian(block, 1, 4);                      // fWide: the list is UTF-16
    for (char16_t unit : Utf8ToUtf16(path)) AppendLittleEndian(block, unit, 2);
    AppendLittleEndian(block, 0, 4);                      // the path's 0, then the list's
    return block;
}

bool WriteToClipboard(App& app, const std::string& path) {
    return app.port.SetClipboardFiles(DropFilesBlock(path));
}

void CopySelection(App& app) {
    const int row = SelectedRow(app);
    if (row == 0) return;
    const ResultRow& r = app.Results[row - 1];
    const std::string path = TrimSpaces(r.Folder + r.Name);
    // Folder rows, the rows of the spoken lists and files gone since the search are no files.
    if (!app.port.FileExists(path)) {
        SpeakOne(app, r.Name + " is not a file");
        return;
    }
    if (!WriteToClipboard(app, path)) {
        SpeakOne(app, "Clipboard not Available");
        return;
    }
    SpeakOne(app, "Copying File " + path);
}

void CopyResults(App& app) {
    std::string bytes;
    if (!app.port.FileExists(kResultsFile) || !app.port.ReadFileBytes(kResultsFile, bytes)) {
        SpeakOne(app, "Search Results not Found");
        return;
    }
    // Read as the import reads it, so that names outside ASCII arrive as the engine wrote them.
    if (!PutOnClipboard(app, DecodeOutsideText(app, bytes))) return;
    SpeakOne(app, "Search Results Copied to Clipboard");
}

}  // namespace lumiseek
