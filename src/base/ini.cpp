#include "base/ini.h"

#include "base/text.h"

namespace lumiseek {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// A value wholly inside a pair of matching quotes loses them.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::string IniDecode(const std::string& bytes, const AnsiDecoder& ansi) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        std::string text;
        Utf16LeDecoder decoder;
        decoder.Decode(std::string_view(bytes).substr(2), text);
        decoder.Finish(text);
        return text;
    }
    if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        const std::string_view rest = std::string_view(bytes).substr(3);
        return IsValidUtf8(rest) ? std::string(rest) : Utf16ToUtf8(Utf8ToUtf16(rest));
    }
    if (IsValidUtf8(bytes)) return bytes;
    return ansi(bytes);
}

IniFile IniParse(std::string_view text) {
    IniFile ini;
    std::map<std::string, std::string>* section = &ini.sections[""];  // keys before any section header
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
        pos = end + 1;

        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                section = &ini.sections[LowerCase(TrimBlanks(line.substr(1, close - 1)))];
                continue;
            }
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, equals));
        if (key.empty()) continue;
        const std::string_view value = Unquote(TrimBlanks(line.substr(equals + 1)));
        section->try_emplace(LowerCase(key), value);
    }
    return ini;
}

IniFile IniRead(const std::string& bytes, const AnsiDecoder& ansi) { return IniParse(IniDecode(bytes, ansi)); }

std::optional<std::string> IniLookup(const IniFile& ini, std::string_view section, std::string_view key) {
    const auto s = ini.sections.find(LowerCase(TrimBlanks(section)));
    if (s == ini.sections.end()) return std::nullopt;
    const auto k = s->second.find(LowerCase(TrimBlanks(key)));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string IniText(std::string_view section, const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string text = "[" + std::string(section) + "]\r\n";
    for (const auto& [key, value] : keys) {
        std::string line = key + "=" + value;
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        text += line + "\r\n";
    }
    return text;
}

std::string IniQuoted(std::string_view value) {
    const bool blankEnds = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    if (blankEnds || Unquote(value).size() != value.size()) return "\"" + std::string(value) + "\"";
    return std::string(value);
}

std::string EncodeUtf16Le(std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + units.size() * 2);
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

}  // namespace lumiseek
