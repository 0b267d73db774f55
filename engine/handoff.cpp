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

std::string HandOffReply(int exit_code) { return std::to_string(exit_code) + "\n"; }

std::optional<int> ReadExitCode(std::string_view text) {
  int code = 0;
  size_t digits = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9' && digits < 9) {
      code = code * 10 + (c - '0');
      ++digits;
    } else if (c == '\n' || c == '\r') {
      if (digits == 0) return std::nullopt;
      return code;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;  // no line end: not yet written whole
}

}  // namespace es
