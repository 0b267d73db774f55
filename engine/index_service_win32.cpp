// es.exe keeps no index of its own yet: under Wine, the index switches and every search go to the
// native es beside it, which keeps the service. Without one they are refused in words, and a search
// walks.
#include <cstdio>

#include "index_service.h"

namespace es {

namespace {
int Refuse() {
  std::fprintf(stderr,
               "es: this es.exe keeps no index, and no native es beside it under Wine keeps one for it "
               "(a Linux program named es in the same folder)\n");
  return 1;
}
}  // namespace

bool SearchThroughIndex(std::string_view, bool, const IndexKey&, std::string&, SearchReport&) { return false; }
int StartIndexService(std::string_view, const IndexKey&) { return Refuse(); }
int IndexServiceStatus() {
  std::puts("not running");
  return 2;
}
int StopIndexService() {
  std::puts("not running");
  return 0;
}
int ServeIndex(const IndexKey&, int64_t) { return Refuse(); }

}  // namespace es
