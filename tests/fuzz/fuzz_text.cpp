// The text helpers: UTF-8 and UTF-16 convert into each other without loss, the validity check
// agrees with the decoder, and lower case keeps text valid, keeps its length in characters and
// is idempotent.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "check.h"

using namespace lumiseek;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Any bytes: converting gives valid UTF-8, and gives back the same bytes exactly when they were valid.
    const std::string repaired = Utf16ToUtf8(Utf8ToUtf16(bytes));
    FUZZ_CHECK(IsValidUtf8(repaired));
    FUZZ_CHECK(IsValidUtf8(bytes) == (repaired == bytes));
    FUZZ_CHECK(CharCount(repaired) == CharCount(bytes));

    // The same bytes read as UTF-16 units: whole pairs survive both ways.
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string fromUnits = Utf16ToUtf8(units);
    FUZZ_CHECK(IsValidUtf8(fromUnits));
    FUZZ_CHECK(Utf8ToUtf16(Utf16ToUtf8(Utf8ToUtf16(fromUnits))) == Utf8ToUtf16(fromUnits));
    bool paired = true;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            ++i;
        else if (units[i] >= 0xD800 && units[i] <= 0xDFFF)
            paired = false;
    }
    if (paired) FUZZ_CHECK(Utf8ToUtf16(fromUnits) == units);

    FUZZ_CHECK(IsValidUtf8(Windows1252ToUtf8(bytes)));

    // Lower case: valid stays valid, one character for one, a second pass changes nothing;
    // the reusing form gives the same text whatever its buffer held before.
    const std::string lower = LowerCase(repaired);
    FUZZ_CHECK(IsValidUtf8(lower));
    FUZZ_CHECK(CharCount(lower) == CharCount(repaired));
    FUZZ_CHECK(LowerCase(lower) == lower);
    std::string reused(bytes);
    LowerCaseInto(repaired, reused);
    FUZZ_CHECK(reused == lower);
    // Any bytes: broken pieces pass through, so the count of characters stays.
    FUZZ_CHECK(CharCount(LowerCase(bytes)) == CharCount(bytes));

    // The first n characters are n characters and a prefix of the text.
    const size_t n = size > 0 ? data[0] % 16 : 0;
    const std::string first = FirstChars(bytes, n);
    FUZZ_CHECK(bytes.substr(0, first.size()) == first);
    FUZZ_CHECK(CharCount(first) == std::min(n, CharCount(bytes)));
    return 0;
}
