// Our own INI reader and writer, used on every platform for the settings file.
// Reading follows the Windows profile functions: section and key names ignore case, blanks
// around keys and values are dropped, a value wholly inside matching quotes loses them, the
// first occurrence of a key wins, lines without "=" and lines starting with ';' are skipped.
// Writing produces UTF-16LE with a byte-order mark, which those functions read as well.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumiseek {

// The keys of a file: lower-case section name -> lower-case key name -> value (first occurrence).
struct IniFile {
    std::map<std::string, std::map<std::string, std::string>> sections;
};

// Turns bytes of the system ANSI code page into UTF-8 (the port's AnsiToUtf8).
using AnsiDecoder = std::function<std::string(const std::string&)>;

// File bytes to UTF-8 text: UTF-16LE with BOM, UTF-8 with BOM, UTF-8 without BOM when the
// bytes are valid UTF-8, otherwise ANSI through `ansi`. Broken sequences become U+FFFD.
std::string IniDecode(const std::string& bytes, const AnsiDecoder& ansi);

// Parses decoded text. Any text at all gives a result; text without keys gives no keys.
IniFile IniParse(std::string_view text);

// IniDecode followed by IniParse.
IniFile IniRead(const std::string& bytes, const AnsiDecoder& ansi);

// The value of `key` in `section`, or nothing when the file does not have it.
std::optional<std::string> IniLookup(const IniFile& ini, std::string_view section, std::string_view key);

// The text of a file with one section: "[section]\r\n" and "Key=Value\r\n" in the given order.
// Line breaks in a value become blanks, so that a value can never start a line of its own.
std::string IniText(std::string_view section, const std::vector<std::pair<std::string, std::string>>& keys);

// A text value as it must be written to read back exactly: one with blanks at either end, or
// wholly inside matching quotes, is put inside double quotes; any other is written as it is.
std::string IniQuoted(std::string_view value);

// UTF-8 text to UTF-16LE bytes with a byte-order mark.
std::string EncodeUtf16Le(std::string_view utf8);

}  // namespace lumiseek
