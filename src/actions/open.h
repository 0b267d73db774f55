// Acting on the selected result: open it or its folder with the shell, search again inside its
// folder or the folder above, jump to the next folder row, say where the selection stands, and
// start Everything's own window or the Magnor viewer.
#pragma once

#include <string>
#include <string_view>

namespace lumiseek {

struct App;

// The extensions the open action hands to the shell, one text per kind, separated by blanks. An
// extension counts as one of them when it occurs anywhere in these texts.
inline constexpr const char* kDocumentTypes =
    ".doc .docx .dat .bas .inc .txt .pdf .xls .xlsx .ppt .pptx .htm .html .rtf .ini .bat";
inline constexpr const char* kImageTypes = ".jpg .bmp .png .ico .gif .jpeg .tiff .tif .svg .webp";
inline constexpr const char* kAudioTypes = ".mp3 .wav .aac .ogg .flac .aiff .m4a .wma";
inline constexpr const char* kVideoTypes = ".mov .mp4 .avi .wmv .flv";

// True when `extension` occurs anywhere in the type list `types` (one of the texts above); the
// empty extension occurs in every list.
inline bool InTypeList(std::string_view types, std::string_view extension) {
    return types.find(extension) != std::string_view::npos;
}

// The lower-cased extension of a name or path, dot included: from the last "." on, unless a "\" or
// ":" follows it. Empty without one.
std::string Extension(std::string_view name);

void OpenLvFile(App& app);
void OpenLvFolder(App& app);
void ExpandFolder(App& app);
void ExpandParentFolder(App& app);
void JumpToFolder(App& app);
void SpeakLocation(App& app);
// True when Everything was started; otherwise "Everything Not Found" has been spoken.
bool OpenEverything(App& app);
// Starts the Magnor viewer beside the program when UseMagnor is on and magnor.exe is in the
// current folder (the program's own).
void OpenMagnor(App& app);

// The folder above a folder path: "D:\A\B\" -> "D:\A\", "D:\" -> "", "\\server\share\x\" ->
// "\\server\share\".
std::string GetParentFolder(const std::string& path);
// The friendly name of the program that opens files with this extension (dot included).
std::string GetAssociatedProgram(App& app, const std::string& extension);

}  // namespace lumiseek
