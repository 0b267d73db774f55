#include "run.h"

#include <cstdio>

#include "options.h"
#include "output.h"
#include "query.h"
#include "search.h"
#include "walk.h"
#ifdef _WIN32
#include "handoff.h"
#endif
#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "index_service.h"

namespace es {

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::FILE* f = OpenFile(path, false);
  if (!f) return false;
  contents.clear();
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) contents.append(chunk, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

namespace {

constexpr const char* kRootsFile = "es-roots.txt";

// The command line of a service a search starts: only its folders (and its idle time), so that the
// search's words and export file are not in the process list for as long as the service runs. Empty
// when a folder holds a double quote, which the command line cannot carry.
std::string IndexServeLine(const Options& o, const std::vector<std::string>& roots) {
  std::string line;
  for (size_t r = 0; r < roots.size(); ++r) {
    const std::string shown = r < o.shown_paths.size() ? o.shown_paths[r] : std::string();
    if ((roots[r] + shown).find('"') != std::string::npos) return {};
    line += shown.empty() ? " -path " + lumiseek::QuoteEsArgument(roots[r])
                          : " -wine-root " + lumiseek::QuoteEsArgument(roots[r]) + " " + lumiseek::QuoteEsArgument(shown);
  }
  if (o.index_idle_minutes != Options{}.index_idle_minutes) line += " -index-idle " + std::to_string(o.index_idle_minutes);
  return line;
}

constexpr const char* kUsage =
    "es [switches] [search text]\n"
    "  -size -dm -size-format N   columns of the export (sizes are in bytes)\n"
    "  /ad  /a-d                  folders only, files only\n"
    "  -sort name|path|size|dm    order (size and dm: largest and newest first)\n"
    "  -n N                       at most N rows\n"
    "  -export-csv FILE           write the rows as CSV to FILE\n"
    "  -path FOLDER               search FOLDER instead of the folders in es-roots.txt\n"
    "  -index-start               keep an index of the folders in a background service\n"
    "  -index-status -index-stop  whether it is ready; end it (-index-idle MINUTES: end unused)\n"
    "  -no-index                  walk the folders even when a service is ready\n"
    "Search text: blanks mean AND, | means OR, ! means NOT, \"...\" groups, * and ? are\n"
    "wildcards, a term with a path separator matches the full path, ext:a;b;c lists extensions.\n";

std::string TrimBlanks(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

}  // namespace

std::vector<std::string> ParseRootsFile(std::string_view text, const std::string& base) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> roots;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string root = TrimBlanks(line);
    if (root.empty() || root[0] == '#') continue;
    roots.push_back(NormalizeRoot(AbsolutePath(base, root)));
  }
  return roots;
}

int RunEs(std::string_view command_line, bool slash_switches, bool export_in_place, bool start_index) {
  ParseResult parsed = ParseCommandLine(command_line, slash_switches);
  if (parsed.exit_code != kExitOk) {
    std::fprintf(stderr, "%s\n", parsed.error.c_str());
    return parsed.exit_code;
  }
  const Options& options = parsed.options;
  if (options.help) {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }

  if (options.index == IndexCommand::Status || options.index == IndexCommand::Stop) {
#ifdef _WIN32
    // Under Wine, the native es beside this one answers for its service.
    int handed_off_code = 0;
    if (HandOffToNativeEs(options, {}, {}, handed_off_code)) return handed_off_code;
#endif
    return options.index == IndexCommand::Status ? IndexServiceStatus() : StopIndexService();
  }

  std::vector<std::string> roots;
  if (!options.paths.empty()) {
    for (const std::string& path : options.paths) roots.push_back(NormalizeRoot(path));
  } else {
    std::string folder = ProgramFolder();
    std::string text;
    if (ReadWholeFile(JoinPath(folder, kRootsFile), text)) {
      roots = ParseRootsFile(text, folder);
      if (roots.empty()) {
        std::fprintf(stderr, "es: %s lists no folder to search\n", kRootsFile);
        return kExitRootUnreadable;
      }
    } else {
      roots = DefaultRoots();
    }
  }

  IndexKey key{roots, options.shown_paths, options.wine_view};
  key.shown.resize(roots.size());
  if (options.index == IndexCommand::Start) {
#ifdef _WIN32
    // Under Wine, the native es starts its service over these roots as it would search them.
    int handed_off_code = 0;
    if (HandOffToNativeEs(options, roots, {}, handed_off_code)) return handed_off_code;
#endif
    return StartIndexService(command_line, key);
  }
  if (options.index == IndexCommand::Serve) return ServeIndex(key, options.index_idle_minutes);

  // The export is written to a temporary file beside it and moved into place only when the search
  // ended well: a search that fails, is ended or crashes leaves the previous export as it was.
  std::string written;
  if (options.export_csv) {
    written = export_in_place ? options.export_file
                              : options.export_file + "." + std::to_string(ProcessId()) + ".tmp";
  }
  auto finish = [&](int code) {
    if (!options.export_csv || export_in_place) return code;
    if (code == kExitOk && MoveIntoPlace(written, options.export_file)) return code;
    RemoveFile(written);
    if (code != kExitOk) return code;
    std::fprintf(stderr, "es: cannot write the export file '%s'\n", options.export_file.c_str());
    return kExitExportFailed;
  };

#ifdef _WIN32
  // Under Wine, a native es beside this one walks the same folders much faster.
  int handed_off_code = 0;
  if (HandOffToNativeEs(options, roots, written, handed_off_code)) return finish(handed_off_code);
#endif

  Query query = ParseQuery(options.search, options.wine_view ? '\\' : kSeparator);

  std::FILE* out = stdout;
  if (options.export_csv) {
    out = OpenFile(written, true, !export_in_place);
    if (!out) {
      std::fprintf(stderr, "es: cannot write the export file '%s'\n", options.export_file.c_str());
      return kExitExportFailed;
    }
    std::string header = CsvHeader(options);
    std::fwrite(header.data(), 1, header.size(), out);
  }

  // A running service for the same roots answers with the rows a walk would write; without one, or
  // when it does not answer in time, the walk.
  // A search that found no service at all starts one for the searches after it.
  const char* no_index = std::getenv("ES_NO_INDEX");
  bool use_index = !options.no_index && !(no_index && std::strcmp(no_index, "1") == 0);
  bool none_running = false;
  std::string indexed;
  SearchReport report;
  if (use_index && SearchThroughIndex(command_line, slash_switches, key, indexed, report, &none_running)) {
    if (std::fwrite(indexed.data(), 1, indexed.size(), out) != indexed.size()) report.write_failed = true;
  } else {
    std::string serve = none_running && start_index ? IndexServeLine(options, roots) : std::string();
    if (!serve.empty()) StartIndexServiceInBackground(serve);
    report = Search(query, options, roots, out, SearchThreads(), options.shown_paths);
  }

  bool write_failed = report.write_failed;
  if (options.export_csv) {
    if (std::ferror(out)) write_failed = true;
    if (std::fclose(out) != 0) write_failed = true;
  } else if (std::fflush(stdout) != 0) {
    write_failed = true;
  }
  if (write_failed) {
    std::fprintf(stderr, "es: writing the results failed\n");
    return finish(kExitExportFailed);
  }
  for (const std::string& root : report.unreadable_roots) {
    std::fprintf(stderr, "es: cannot read the folder '%s'\n", root.c_str());
  }
  // A root that cannot be read is only reported: the others were searched and their rows
  // written. The search failed when no root could be read.
  return finish(report.unreadable_roots.size() == roots.size() ? kExitRootUnreadable : kExitOk);
}

}  // namespace es
