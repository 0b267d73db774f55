// The process-wide state of Lumiseek, passed by reference to every operation.
// Tests make a fresh App per case around a recording fake of the port.
#pragma once

#include <cstdint>
#include <string>

#include "base/port.h"
#include "base/settings.h"
#include "base/result_row.h"
#include "lumiseek_version.h"

namespace lumiseek {

// The version as the caption and the welcome say it ("4.2", "4.2.1"); see cmake/version.cmake.
constexpr const char* kVersion = LUMISEEK_VERSION_SHORT;

struct App;

// What the dispatcher on top does for the layers below it, which never include it (base/guard.h
// calls these). ConnectDispatcher (app/dispatch.h) sets them; unset, each call does nothing.
struct Reactions {
    void (*RunCommand)(App& app, int id) = nullptr;
    void (*RedrawPreview)(App& app) = nullptr;
    void (*PreviewSoon)(App& app) = nullptr;
    void (*RebuildToolbar)(App& app) = nullptr;
};

struct App {
    explicit App(Port& p) : port(p) {}

    Port& port;
    Settings settings;
    Reactions reactions;

    // Speech
    std::string SpeechPrefix;

    // Shortcut announcements
    std::string ShortcutLabel;
    std::string ShortcutKey;

    // The talking search box: the last key's spoken name and typed character, and the
    // characters typed since the last Space.
    std::string KeyName;
    std::string KeyChar;
    std::string WordBuffer;
    // The box's selection (start, end) when Shift+Left or Shift+Right went down; -1 when the
    // last arrow went down without Shift.
    int ShiftArrowFrom = -1;
    int ShiftArrowTo = -1;

    // Main window
    int RestartAfterUpdate = 0;
    int64_t CounterFrequency = 1;
    std::string BuildStamp;   // the text of CTime, fixed when the program is built

    // Search and results
    ResultTable Results;
    std::string SearchCommand;
    int SortDescending = 0;
    bool AllDrivesChecked = false;  // whether a search has told that it walks every drive, once a run
    // Extension lists of the custom-search prefixes (CreateFileTypeLists)
    std::string AudioTypes, ZipTypes, DocTypes, ExeTypes, PicTypes, VideoTypes;

    // The image preview: the full path of the selected row; the image the port keeps decoded
    // (its path, empty when none, the file's stamp then, and its size)
    std::string PreviewPath;
    std::string PreviewLoaded;
    std::optional<FileStamp> PreviewLoadedStamp;
    Size2 PreviewImageSize;

    // Toolbar (its height is 0 until a toolbar exists): the page of the narrow form, 0 to 2
    int ToolbarPage = 0;
    // The large tooltip's text and the command whose text was handled last (0: none)
    std::string ToolTipText;
    int LastToolTipId = 0;
};

}  // namespace lumiseek
