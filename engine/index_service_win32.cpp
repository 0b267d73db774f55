// es.exe keeps no index of its own yet: under Wine a search handed to the native es uses the native
// service. The switches are refused in words, and a search walks.
#include <cstdio>

#include "index_service.h"

namespace es {

namespace {
int Refuse() {
  std::fprintf(stderr, "es: this es.exe keeps no index; the native es beside it does (es -index-start)\n");
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
