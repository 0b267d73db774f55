#include "app/single_instance_win32.h"

#include <string>

#include "app/port_win32.h"

namespace lumiseek {

namespace {

constexpr const wchar_t* kFolderProperty = L"LumiseekProgramFolder";

// FNV-1a over the folder's UTF-16 units: a name of fixed length however long the folder.
uint64_t FolderKey(std::wstring folder) {
    CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    uint64_t key = 14695981039346656037ull;
    for (wchar_t c : folder) {
        if (c == L'/') c = L'\\';
        key = (key ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    }
    return key;
}

struct Search {
    uint64_t key;
    HWND found;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (reinterpret_cast<uintptr_t>(GetPropW(window, kFolderProperty)) == static_cast<uintptr_t>(search->key)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

ProgramFolderClaim ClaimProgramFolder() {
    ProgramFolderClaim claim;
    claim.key = FolderKey(ModuleFolder());
    wchar_t name[64];
    wsprintfW(name, L"Local\\Lumiseek-%08lx%08lx", static_cast<unsigned long>(claim.key >> 32),
              static_cast<unsigned long>(claim.key & 0xFFFFFFFFu));
    claim.mutex = CreateMutexW(nullptr, FALSE, name);
    // A mutex that cannot be made at all does not keep the program from running.
    claim.first = claim.mutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
    return claim;
}

void MarkMainWindow(HWND window, const ProgramFolderClaim& claim) {
    SetPropW(window, kFolderProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(claim.key)));
}

void ShowFirstProgram(const ProgramFolderClaim& claim) {
    for (int tries = 0; tries < 50; ++tries) {
        Search search{claim.key, nullptr};
        EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
            SetForegroundWindow(search.found);
            return;
        }
        Sleep(100);
    }
}

}  // namespace lumiseek
