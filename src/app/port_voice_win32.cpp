#include "app/port_win32.h"

#include <sapi.h>

#include "base/wide_win32.h"

namespace lumiseek {

// --- the voice ---

void Win32Port::VoiceSpeak(const std::string& text, int flags) {
    if (voice == nullptr) return;
    std::wstring w = W(text);
    voice->Speak(w.c_str(), static_cast<DWORD>(flags), nullptr);
}

int Win32Port::VoiceRunningState() {
    if (voice == nullptr) return 0;
    SPVOICESTATUS status{};
    if (FAILED(voice->GetStatus(&status, nullptr))) return 0;
    return static_cast<int>(status.dwRunningState);
}

void Win32Port::VoiceSetRate(int rate) {
    if (voice != nullptr) voice->SetRate(rate);
}

void Win32Port::Beep(int hz, int ms) { ::Beep(static_cast<DWORD>(hz), static_cast<DWORD>(ms)); }

void Win32Port::SendKey(int vk, int flags) { keybd_event(static_cast<BYTE>(vk), 0, static_cast<DWORD>(flags), 0); }

}  // namespace lumiseek
