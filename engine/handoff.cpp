#include "handoff.h"

#include "base/text.h"

namespace es {

using lumiseek::QuoteEsArgument;

std::optional<std::vector<std::string>> NativeEsArguments(const Options& options,
                                                          const std::vector<std::string>& linux_roots,
                                                          const std::vector<std::string>& shown_roots,
                                                          const std::string& linux_export) {
  auto quoted = [](const std::string& path) { return path.find('"') != std::string::npos; };
  for (const auto* list : {&linux_roots, &shown_roots}) {
    for (const std::string& path : *list) {
      if (quoted(path)) return std::nullopt;
    }
  }
  if (quoted(linux_export)) return std::nullopt;
  std::vector<std::string> args;
  if (options.size) args.push_back("-size");
  if (options.date_modified) args.push_back("-dm");
  if (options.type == TypeFilter::FilesOnly) args.push_back("/a-d");
  if (options.type == TypeFilter::FoldersOnly) args.push_back("/ad");
  static const char* const kSorts[] = {nullptr, "name", "path", "size", "dm"};
  if (const char* sort = kSorts[static_cast<int>(options.sort)]) {
    args.push_back("-sort");
    args.push_back(sort);
  }
  if (options.no_index) args.push_back("-no-index");
  static const char* const kIndexSwitches[] = {nullptr, "-index-start", "-index-stop", "-index-status"};
  if (options.index != IndexCommand::Serve) {
    if (const char* command = kIndexSwitches[static_cast<int>(options.index)]) args.push_back(command);
  }
  if (options.index_idle_minutes != Options{}.index_idle_minutes) {
    args.push_back("-index-idle");
    args.push_back(std::to_string(options.index_idle_minutes));
  }
  if (options.max_results >= 0) {
    args.push_back("-n");
    args.push_back(std::to_string(options.max_results));
  }
  if (options.export_csv) {
    args.push_back("-export-csv");
    args.push_back(QuoteEsArgument(linux_export));
  }
  for (size_t i = 0; i < linux_roots.size() && i < shown_roots.size(); ++i) {
    args.push_back("-wine-root");
    args.push_back(QuoteEsArgument(linux_roots[i]));
    args.push_back(QuoteEsArgument(shown_roots[i]));
  }
  // The search text goes over as it was read, quotes and all.
  if (!options.search.empty()) args.push_back(options.search);
  return args;
}

std::string HandOffRequest(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& arg : arguments) {
    if (!text.empty()) text += ' ';
    text += arg;
  }
  text += '\0';
  return text;
}

std::string HandOffReply(int exit_code, std::string_view printed, std::string_view errors) {
  if (printed.empty() && errors.empty()) return std::to_string(exit_code) + "\n";
  printed = printed.substr(0, kMaxHandOffPrinted);
  errors = errors.substr(0, kMaxHandOffPrinted);
  return std::to_string(exit_code) + " " + std::to_string(printed.size()) + " " + std::to_string(errors.size()) +
         "\n" + std::string(printed) + std::string(errors);
}

std::optional<HandOffAnswer> ReadHandOffReply(std::string_view text) {
  // The head: one to three numbers separated by single blanks, then a line end.
  size_t numbers[3] = {};
  size_t count = 0, digits = 0, at = 0;
  for (;; ++at) {
    if (at == text.size()) return std::nullopt;  // no line end: not yet written whole
    char c = text[at];
    if (c >= '0' && c <= '9' && digits < 9) {
      numbers[count] = numbers[count] * 10 + static_cast<size_t>(c - '0');
      ++digits;
    } else if (c == ' ' && digits > 0 && count < 2) {
      ++count;
      digits = 0;
    } else if (c == '\n' && digits > 0 && count != 1) {
      break;
    } else {
      return std::nullopt;
    }
  }
  HandOffAnswer answer;
  answer.exit_code = static_cast<int>(numbers[0]);
  size_t printed = numbers[1], errors = numbers[2];
  if (printed > kMaxHandOffPrinted || errors > kMaxHandOffPrinted) return std::nullopt;
  std::string_view rest = text.substr(at + 1);
  if (rest.size() < printed + errors) return std::nullopt;
  answer.printed = rest.substr(0, printed);
  answer.errors = rest.substr(printed, errors);
  return answer;
}

}  // namespace es
