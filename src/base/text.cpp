#include "base/text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace lumiseek {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at `pos`. Returns its length in bytes and sets `cp`;
// an ill-formed sequence gives the length of its longest valid start (at least 1)
// and `cp` = U+FFFD, so that each broken piece becomes exactly one replacement.
size_t DecodeUtf8(std::string_view s, size_t pos, char32_t& cp, bool& valid) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    valid = false;
    cp = kReplacement;
    if (b0 < 0x80) {
        cp = b0;
        valid = true;
        return 1;
    }
    size_t need;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    char32_t value;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        value = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        value = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;   // no overlong forms
        if (b0 == 0xED) hi = 0x9F;   // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        value = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;   // no overlong forms
        if (b0 == 0xF4) hi = 0x8F;   // nothing above U+10FFFF
    } else {
        return 1;  // continuation byte or a lead byte that never starts a valid sequence
    }
    size_t i = pos + 1;
    for (size_t k = 0; k < need; ++k, ++i) {
        if (i >= s.size()) return i - pos;
        const unsigned char b = byte(i);
        const unsigned char min = k == 0 ? lo : 0x80;
        const unsigned char max = k == 0 ? hi : 0xBF;
        if (b < min || b > max) return i - pos;
        value = (value << 6) | (b & 0x3F);
    }
    cp = value;
    valid = true;
    return need + 1;
}

// Writes the UTF-8 form of a valid code point into `out` (room for 4 bytes); returns its length.
size_t EncodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

void AppendUtf8(std::string& out, char32_t cp) {
    char bytes[4];
    out.append(bytes, EncodeUtf8(cp, bytes));
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint64_t kEachByte = 0x0101010101010101ull;

// Eight ASCII bytes: the high bit of each byte that is a capital A to Z. No sum carries into
// the next byte, since every byte is below 0x80.
uint64_t AsciiCapitals(uint64_t word) {
    const uint64_t fromA = word + (0x80 - 'A') * kEachByte;    // high bit: byte >= 'A'
    const uint64_t beyondZ = word + (0x7F - 'Z') * kEachByte;  // high bit: byte > 'Z'
    return fromA & ~beyondZ & kHighBits;
}

// The end of the run of ASCII bytes that starts at `pos`, looked at eight bytes at a time.
size_t AsciiRunEnd(std::string_view s, size_t pos) {
    while (pos + 8 <= s.size()) {
        uint64_t word;
        std::memcpy(&word, s.data() + pos, 8);
        if (word & kHighBits) break;
        pos += 8;
    }
    while (pos < s.size() && static_cast<unsigned char>(s[pos]) < 0x80) ++pos;
    return pos;
}

// A run of characters: every step-th one from first to last; delta leads to its lower case.
struct CaseRun {
    char32_t first, last;
    unsigned char step;
    int32_t delta;
};

#include "base/case_table.inc"

// The run of `runs` that holds c, or nullptr.
template <size_t N>
const CaseRun* FindRun(const CaseRun (&runs)[N], char32_t c) {
    // The last run that starts at or before c.
    const CaseRun* run = std::upper_bound(std::begin(runs), std::end(runs), c,
                                          [](char32_t v, const CaseRun& r) { return v < r.first; });
    if (run == std::begin(runs)) return nullptr;
    --run;
    if (c > run->last || (c - run->first) % run->step != 0) return nullptr;
    return run;
}

// Lower case of one character: Unicode's simple lower-case mapping.
char32_t LowerLetter(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    const CaseRun* run = FindRun(kLowerRuns, c);
    return run ? static_cast<char32_t>(static_cast<int32_t>(c) + run->delta) : c;
}

}  // namespace

int64_t RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 as a double; anything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit) return std::numeric_limits<int64_t>::max();
    if (value < -kLimit) return std::numeric_limits<int64_t>::min();
    const double whole = std::floor(value);
    const double rest = value - whole;  // exact
    int64_t n = static_cast<int64_t>(whole);
    if (rest > 0.5 || (rest == 0.5 && (n % 2 != 0))) ++n;
    return n;
}

std::string NumberText(int64_t value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string FormatMask(double value, std::string_view mask) {
    const size_t point = mask.find('.');
    const std::string_view wholeMask = mask.substr(0, point);
    const std::string_view fractionMask = point == std::string_view::npos ? std::string_view() : mask.substr(point + 1);

    // Digits shown always: those from the first '0' of the whole part to its end.
    size_t minDigits = 0;
    bool seenZero = false;
    for (char m : wholeMask) {
        if (m == '0') seenZero = true;
        if (seenZero && (m == '0' || m == '#')) ++minDigits;
    }
    const bool grouped = wholeMask.find(',') != std::string_view::npos;
    std::string places;  // the fraction's digit places in order, '0' or '#'
    for (char m : fractionMask)
        if ((m == '0' || m == '#') && places.size() < 18) places += m;

    int64_t scale = 1;
    for (size_t i = 0; i < places.size(); ++i) scale *= 10;
    const int64_t rounded = RoundHalfEven(value * static_cast<double>(scale));
    const uint64_t magnitude = rounded < 0 ? 0 - static_cast<uint64_t>(rounded) : static_cast<uint64_t>(rounded);
    const uint64_t whole = magnitude / static_cast<uint64_t>(scale);
    uint64_t fraction = magnitude % static_cast<uint64_t>(scale);

    std::string digits = whole == 0 ? std::string() : std::to_string(whole);
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (grouped && i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }

    if (point != std::string_view::npos) {
        std::string fractionText(places.size(), '0');
        for (size_t i = places.size(); i-- > 0;) {
            fractionText[i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        // Trailing zeros in '#' places are not shown.
        size_t keep = places.size();
        while (keep > 0 && places[keep - 1] == '#' && fractionText[keep - 1] == '0') --keep;
        out += '.';
        out += fractionText.substr(0, keep);
    }
    if (rounded < 0) out.insert(0, "-");
    return out;
}

int64_t LenientNumber64(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    // The fraction only decides the rounding: above, below or exactly one half.
    if (i < text.size() && text[i] == '.') {
        int firstDigit = -1;
        bool laterNonZero = false;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (firstDigit < 0)
                firstDigit = text[i] - '0';
            else if (text[i] != '0')
                laterNonZero = true;
        }
        if ((firstDigit > 5 || (firstDigit == 5 && (laterNonZero || (value & 1)))) && value < kMax) ++value;
    }
    return negative ? -value : value;
}

int32_t LenientNumber(std::string_view text) {
    return static_cast<int32_t>(std::clamp<int64_t>(LenientNumber64(text), std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp;
        bool valid;
        pos += DecodeUtf8(utf8, pos, cp, valid);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

void Utf16LeDecoder::Decode(std::string_view bytes, std::string& out) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    size_t i = 0;
    if (oddByte_ >= 0 && !bytes.empty()) {
        units_ += static_cast<char16_t>(oddByte_ | (at(0) << 8));
        oddByte_ = -1;
        i = 1;
    }
    for (; i + 1 < bytes.size(); i += 2) units_ += static_cast<char16_t>(at(i) | (at(i + 1) << 8));
    if (i < bytes.size()) oddByte_ = at(i);
    // A high surrogate at the end may meet its low half in the next part.
    const bool highLast = !units_.empty() && units_.back() >= 0xD800 && units_.back() <= 0xDBFF;
    const size_t done = units_.size() - (highLast ? 1 : 0);
    out += Utf16ToUtf8(std::u16string_view(units_).substr(0, done));
    units_.erase(0, done);
}

void Utf16LeDecoder::Finish(std::string& out) {
    out += Utf16ToUtf8(units_);
    units_.clear();
    oddByte_ = -1;
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t pos = 0; pos < bytes.size();) {
        pos = AsciiRunEnd(bytes, pos);
        if (pos == bytes.size()) break;
        char32_t cp;
        bool valid;
        pos += DecodeUtf8(bytes, pos, cp, valid);
        if (!valid) return false;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    // 0x80..0x9F; the five unassigned bytes map to the C1 controls of the same value, as Windows does.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        AppendUtf8(out, (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : b);
    }
    return out;
}

std::string LowerCase(std::string_view utf8) {
    std::string out;
    LowerCaseInto(utf8, out);
    return out;
}

void LowerCaseInto(std::string_view utf8, std::string& out) {
    // Bytes that are not valid UTF-8 are passed through as they are. A few lower-case letters
    // take more bytes than their capitals (U+023A, U+023E): `out` grows so that it always has
    // room for the rest of the text, whose ASCII is lowered eight bytes at a time.
    out.resize(utf8.size());
    size_t length = 0;
    for (size_t pos = 0; pos < utf8.size();) {
        while (pos + 8 <= utf8.size()) {
            uint64_t word;
            std::memcpy(&word, utf8.data() + pos, 8);
            if (word & kHighBits) break;
            word |= AsciiCapitals(word) >> 2;  // 0x80 >> 2 is the 0x20 between A and a
            std::memcpy(&out[length], &word, 8);
            pos += 8;
            length += 8;
        }
        if (pos >= utf8.size()) break;
        const unsigned char b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80) {
            out[length++] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
            ++pos;
            continue;
        }
        char32_t cp;
        bool valid;
        const size_t len = DecodeUtf8(utf8, pos, cp, valid);
        const char32_t lower = valid ? LowerLetter(cp) : cp;
        char piece[4];
        const char* bytes = utf8.data() + pos;
        size_t n = len;
        if (lower != cp) {
            n = EncodeUtf8(lower, piece);
            bytes = piece;
        }
        pos += len;
        if (length + n + (utf8.size() - pos) > out.size()) out.resize(length + n + (utf8.size() - pos));
        std::memcpy(&out[length], bytes, n);
        length += n;
    }
    out.resize(length);
}

bool IsCapitalLetter(char32_t c) { return FindRun(kCapitalRuns, c) != nullptr; }

std::string TrimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string();
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = text.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(text.substr(pos));
    return out;
}

size_t CharCount(std::string_view utf8) {
    size_t count = 0;
    for (size_t pos = 0; pos < utf8.size(); ++count) {
        char32_t cp;
        bool valid;
        pos += DecodeUtf8(utf8, pos, cp, valid);
    }
    return count;
}

std::string QuoteEsArgument(std::string_view arg) {
    if (arg.find_first_of(" \t") == std::string_view::npos) return std::string(arg);
    return "\"" + std::string(arg) + "\"";
}

std::string QuoteWindowsArgument(std::string_view arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string_view::npos) return std::string(arg);
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes in front of a quote are doubled, and the quote itself escaped.
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    // Backslashes in front of the closing quote are doubled.
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string FirstChars(std::string_view utf8, size_t count) {
    size_t pos = 0;
    for (size_t n = 0; n < count && pos < utf8.size(); ++n) {
        char32_t cp;
        bool valid;
        pos += DecodeUtf8(utf8, pos, cp, valid);
    }
    return std::string(utf8.substr(0, pos));
}

std::string CTime(const std::string& date, const std::string& time) { return "   Compiled: " + date + " " + time; }

}  // namespace lumiseek
