// The per-entry cost of the engine's matcher: folding a name and testing it against the query
// kinds Lumiseek sends. Names are like those of bench/make_tree.py.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "query.h"

namespace {

std::vector<std::string> Names() {
  const char* words[] = {"Report", "budget", "Invoice", "photo", "holiday", "music", "Song", "letter"};
  const char* exts[] = {"txt", "PDF", "docx", "jpg", "mp3", "c", "flac", "zip"};
  std::mt19937 rng(4);
  std::vector<std::string> names;
  for (int i = 0; i < 4096; ++i) {
    names.push_back(std::to_string(i % 10) + " " + words[rng() % 8] + " " + words[rng() % 8] + " " +
                    std::to_string(rng() % 10000) + "." + exts[rng() % 8]);
  }
  return names;
}

void Match(benchmark::State& state, const char* text) {
  std::vector<std::string> names = Names();
  es::Query query = es::ParseQuery(text, '/');
  std::string folded;
  std::string path;
  size_t i = 0;
  int64_t hits = 0;
  for (auto _ : state) {
    const std::string& name = names[i++ & 4095];
    es::FoldCase(name, folded);
    es::Candidate c;
    c.lower_name = folded;
    if (query.needs_path) {
      path.assign("/tmp/es-bench/tree/music/song 12/data_034/").append(folded);
      c.lower_path = path;
    }
    hits += es::Matches(query, c);
  }
  benchmark::DoNotOptimize(hits);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(Match, name, "report");
BENCHMARK_CAPTURE(Match, two_names_or, "report|budget invoice");
BENCHMARK_CAPTURE(Match, wildcard, "*report*.pdf");
BENCHMARK_CAPTURE(Match, audio_list,
                  "ext:aac;ac3;aif;aifc;aiff;au;cda;dts;fla;flac;it;m1a;m2a;m3u;m4a;m4b;m4p;mid;midi;"
                  "mka;mod;mp2;mp3;mpa;ogg;ra;rmi;snd;spc;umx;voc;wav;wma;xm");
BENCHMARK_CAPTURE(Match, excluded_path, "!/tmp/es-bench/tree/archive/ report");

}  // namespace
