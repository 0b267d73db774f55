#include "options.h"

#include <cctype>

namespace es {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Unquote(std::string_view token) {
  std::string out;
  for (char c : token) {
    if (c != '"') out += c;
  }
  return out;
}

// "500" or "-5": an optional minus sign and 1 to 18 digits.
bool ReadCount(std::string_view text, int64_t& value) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  value = negative ? -v : v;
  return true;
}

}  // namespace

size_t NextArgument(std::string_view line, size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  size_t begin = pos;
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    if (line[pos] == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(line[pos])) {
      break;
    }
  }
  return begin;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> tokens;
  size_t pos = 0;
  for (;;) {
    size_t begin = NextArgument(line, pos);
    if (begin == pos) break;
    tokens.emplace_back(line.substr(begin, pos - begin));
  }
  return tokens;
}

std::string_view AfterFirstArgument(std::string_view line) {
  size_t pos = 0;
  NextArgument(line, pos);
  return line.substr(pos);
}

ParseResult ParseCommandLine(std::string_view line, bool slash_switches) {
  ParseResult result;
  Options& o = result.options;
  std::vector<std::string> tokens = SplitCommandLine(line);
  auto fail = [&](int code, std::string message) {
    result.exit_code = code;
    result.error = std::move(message);
    return result;
  };
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    std::string name = Lower(token);
    bool is_switch = false;
    if (token.size() > 1 && token[0] == '-') is_switch = true;
    if (token.size() > 1 && token[0] == '/') {
      is_switch = slash_switches || name == "/ad" || name == "/a-d";
    }
    if (!is_switch) {
      if (!o.search.empty()) o.search += ' ';
      o.search += token;
      continue;
    }
    // Switches that take a value read it from the next token.
    auto value = [&](std::string& out) {
      if (i + 1 >= tokens.size()) return false;
      out = Unquote(tokens[++i]);
      return true;
    };
    std::string arg;
    if (name == "-size") {
      o.size = true;
    } else if (name == "-dm" || name == "-date-modified") {
      o.date_modified = true;
    } else if (name == "-size-format") {
      // The export always carries sizes in bytes; the format number is checked, not used.
      int64_t format = 0;
      if (!value(arg) || !ReadCount(arg, format)) {
        return fail(kExitMissingValue, "es: -size-format expects a number");
      }
    } else if (name == "/ad") {
      o.type = TypeFilter::FoldersOnly;
    } else if (name == "/a-d") {
      o.type = TypeFilter::FilesOnly;
    } else if (name == "-sort") {
      if (!value(arg)) return fail(kExitMissingValue, "es: -sort expects name, path, size or dm");
      std::string kind = Lower(arg);
      if (kind == "name") {
        o.sort = SortKind::Name;
      } else if (kind == "path") {
        o.sort = SortKind::Path;
      } else if (kind == "size") {
        o.sort = SortKind::Size;
      } else if (kind == "dm" || kind == "date-modified") {
        o.sort = SortKind::DateModified;
      } else {
        return fail(kExitMissingValue, "es: unknown sort order '" + arg + "'");
      }
    } else if (name == "-n" || name == "-max-results") {
      if (!value(arg) || !ReadCount(arg, o.max_results)) {
        return fail(kExitMissingValue, "es: " + token + " expects a number");
      }
    } else if (name.compare(0, 2, "-n") == 0 && ReadCount(name.substr(2), o.max_results)) {
      // "-n500" and "-n-5": the count glued to the switch.
    } else if (name == "-export-csv") {
      if (!value(arg) || arg.empty()) return fail(kExitMissingValue, "es: -export-csv expects a file name");
      o.export_csv = true;
      o.export_file = arg;
    } else if (name == "-path") {
      if (!value(arg) || arg.empty()) return fail(kExitMissingValue, "es: -path expects a folder");
      o.paths.push_back(arg);
      o.shown_paths.emplace_back();
    } else if (name == "-wine-root") {
      std::string shown;
      if (!value(arg) || arg.empty() || !value(shown) || shown.empty()) {
        return fail(kExitMissingValue, "es: -wine-root expects a folder and its Windows path");
      }
      o.paths.push_back(arg);
      o.shown_paths.push_back(shown);
      o.wine_view = true;
    } else if (name == "-index-start" || name == "-index-stop" || name == "-index-status" || name == "-index-serve") {
      IndexCommand command = name == "-index-start"  ? IndexCommand::Start
                             : name == "-index-stop" ? IndexCommand::Stop
                             : name == "-index-status" ? IndexCommand::Status
                                                       : IndexCommand::Serve;
      if (o.index != IndexCommand::Serve) o.index = command;  // the service's own switch wins
    } else if (name == "-index-idle") {
      if (!value(arg) || !ReadCount(arg, o.index_idle_minutes) || o.index_idle_minutes < 1) {
        return fail(kExitMissingValue, "es: -index-idle expects a number of minutes");
      }
    } else if (name == "-no-index") {
      o.no_index = true;
    } else if (name == "-h" || name == "-help" || name == "/?") {
      o.help = true;
    } else {
      return fail(kExitUnknownSwitch, "es: unknown switch '" + token + "'");
    }
  }
  return result;
}

}  // namespace es
