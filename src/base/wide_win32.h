// UTF-8 <-> UTF-16 at the Win32 boundary, on top of the one conversion in base/text.h.
#pragma once

#include <string>

#include "base/text.h"

namespace lumiseek {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring W(const std::string& utf8) {
    std::u16string u = Utf8ToUtf16(utf8);
    return std::wstring(u.begin(), u.end());
}

inline std::string N(const std::wstring& wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace lumiseek
