// One Lumiseek per program folder: two in one folder would share results.txt and the settings file.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lumiseek {

struct ProgramFolderClaim {
    HANDLE mutex = nullptr;  // held for the whole run by the first program of the folder
    uint64_t key = 0;        // the folder's key, also marked on the main window
    bool first = false;
};

// Claims the running program's folder (its mutex named by a key of the lower-cased folder).
ProgramFolderClaim ClaimProgramFolder();

// Marks the main window as the folder's, for a second start to find.
void MarkMainWindow(HWND window, const ProgramFolderClaim& claim);

// Brings the main window of the folder's first program to the front, restoring it when minimized;
// waits up to five seconds for it while that program is still starting.
void ShowFirstProgram(const ProgramFolderClaim& claim);

}  // namespace lumiseek
