// Shared text helpers: number forms, display masks, rounding, UTF-8/UTF-16 and case.
// Every part of the program uses these; do not write a second version elsewhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumiseek {

// Nearest integer, halves to the even neighbour (the program's only rounding rule).
int64_t RoundHalfEven(double value);

// The general number-to-text form: decimal with one leading blank when not negative (" 3", "-3").
std::string NumberText(int64_t value);

// Display masks "###,##0", "##,##0", "###,###" and "###.0": digits only where '#',
// always where '0', ',' groups thousands. Whole numbers are rounded half to even first.
std::string FormatMask(double value, std::string_view mask);

// Lenient number reading: leading blanks, an optional sign, digits with an optional fraction;
// stops at the first character that cannot continue the number; no number gives 0;
// fractions round half to even (" 10.5" -> 10, "11.5" -> 12, "+3" -> 3, "x" -> 0).
// Values beyond 32 bits stop at the nearest 32-bit limit.
int32_t LenientNumber(std::string_view text);
// The same reading in 64 bits (file sizes); values beyond 64 bits stop at the largest.
int64_t LenientNumber64(std::string_view text);

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes become U+FFFD; lone surrogates become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
bool IsValidUtf8(std::string_view bytes);

// UTF-16LE bytes to UTF-8, part by part as a file is read: a byte or a high surrogate at the end of
// one part waits for the next. Finish ends the text: a surrogate still waiting becomes U+FFFD, a
// single byte left over is dropped. Parts decoded so give exactly what the whole text gives.
class Utf16LeDecoder {
public:
    void Decode(std::string_view bytes, std::string& out);  // appends to out
    void Finish(std::string& out);

private:
    std::u16string units_;
    int oddByte_ = -1;  // the byte of a unit split between two parts
};

// Windows-1252 bytes to UTF-8 (the ANSI decoder used off Windows and in tests).
std::string Windows1252ToUtf8(std::string_view bytes);

// Lower case by Unicode's simple lower-case mapping (one character for one); other text unchanged.
std::string LowerCase(std::string_view utf8);
// The same into `out`, replacing its text and reusing its room (for loops over many texts).
void LowerCaseInto(std::string_view utf8, std::string& out);

// An upper-case letter (Unicode general category Lu), as the platform classes capitals.
bool IsCapitalLetter(char32_t c);

// Remove blanks (spaces only) at both ends.
std::string TrimSpaces(std::string_view text);

// Replace every occurrence of `from` by `to`, scanning left to right without rescanning.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// One argument of a command line, quoted so that the Windows rules (those of CommandLineToArgvW,
// which Wine also applies when it starts a Linux program) read it back unchanged.
std::string QuoteWindowsArgument(std::string_view arg);

// One argument for es's own rules, which split at blanks outside double quotes and take no
// escapes: in double quotes when it holds a blank or a tab, as it is otherwise.
std::string QuoteEsArgument(std::string_view arg);

// Number of characters (code points) in UTF-8 text, and the first `count` of them.
size_t CharCount(std::string_view utf8);
std::string FirstChars(std::string_view utf8, size_t count);

// CTime: the build stamp "   Compiled: " + date + " " + time.
std::string CTime(const std::string& date, const std::string& time);

}  // namespace lumiseek
