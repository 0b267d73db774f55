// Copying results to the clipboard: the selected file as a file list, as a file manager copies it,
// and the whole results file as text.
#pragma once

#include <string>

namespace lumiseek {

struct App;

// The clipboard's file-list block (CF_HDROP) for one path, as bytes: a 20-byte header (the list's
// offset 20, drop point 0, 0, not in a non-client area, wide characters) and then the path in
// UTF-16 LE, a 0 character ending it and a second 0 character ending the list.
std::string DropFilesBlock(const std::string& path);

// Replaces the clipboard's contents by a file list holding the one path. False when the clipboard
// could not be had; it is then left as it was.
bool WriteToClipboard(App& app, const std::string& path);

// Copy File: the selected row's file onto the clipboard as a file, with its spoken outcome.
void CopySelection(App& app);

// Copy Results: the text of results.txt onto the clipboard, with its spoken outcome.
void CopyResults(App& app);

}  // namespace lumiseek
