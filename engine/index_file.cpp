// The index as bytes for the cache file: a header, the key, the arena, the entries, the open names,
// the sorted orders and a checksum over all of it. Everything read back is checked before it is used.
#include <cstring>

#include "index.h"

namespace es {

namespace {

constexpr char kMagic[8] = {'L', 'S', 'K', 'I', 'D', 'X', '0', '1'};

uint64_t Checksum(std::string_view data) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ data.size();
  size_t i = 0;
  for (; i + 8 <= data.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, data.data() + i, 8);
    h = (h ^ w) * 0x100000001B3ull;
    h ^= h >> 29;
  }
  for (; i < data.size(); ++i) h = (h ^ static_cast<unsigned char>(data[i])) * 0x100000001B3ull;
  return h;
}

void Put(std::string& out, uint64_t v) { out.append(reinterpret_cast<const char*>(&v), 8); }
void PutText(std::string& out, std::string_view text) {
  Put(out, text.size());
  out.append(text);
}

struct Reader {
  std::string_view data;
  bool ok = true;
  uint64_t Get() {
    uint64_t v = 0;
    if (data.size() < 8) return ok = false, 0;
    std::memcpy(&v, data.data(), 8);
    data.remove_prefix(8);
    return v;
  }
  std::string_view Bytes(uint64_t n) {
    if (data.size() < n) return ok = false, std::string_view();
    std::string_view out = data.substr(0, n);
    data.remove_prefix(n);
    return out;
  }
  std::string_view Text() { return Bytes(Get()); }
};

}  // namespace

std::string IndexTable::Serialize() const {
  std::string out(kMagic, sizeof kMagic);
  Put(out, key_.roots.size());
  for (size_t r = 0; r < key_.roots.size(); ++r) {
    PutText(out, key_.roots[r]);
    PutText(out, key_.shown[r]);
  }
  Put(out, key_.wine_view);
  PutText(out, arena_);
  Put(out, entries_.size());
  out.append(reinterpret_cast<const char*>(entries_.data()), entries_.size() * sizeof(Entry));
  Put(out, roots_.size());
  for (uint32_t r : roots_) Put(out, r);
  Put(out, open_names_.size());
  for (const auto& [i, name] : open_names_) {
    Put(out, i);
    PutText(out, name);
  }
  for (const auto& order : orders_) {
    Put(out, order.size());
    out.append(reinterpret_cast<const char*>(order.data()), order.size() * 4);
  }
  Put(out, Checksum(out));
  return out;
}

bool IndexTable::Deserialize(std::string_view data) {
  FolderHook hook = std::move(hook_);
  *this = IndexTable();
  hook_ = std::move(hook);
  if (data.size() < sizeof kMagic + 8 || std::memcmp(data.data(), kMagic, sizeof kMagic) != 0) return false;
  uint64_t sum;
  std::memcpy(&sum, data.data() + data.size() - 8, 8);
  if (Checksum(data.substr(0, data.size() - 8)) != sum) return false;
  Reader in{data.substr(sizeof kMagic, data.size() - sizeof kMagic - 8)};
  IndexTable t;
  uint64_t roots = in.Get();
  if (roots > 4096) return false;
  for (uint64_t r = 0; r < roots && in.ok; ++r) {
    t.key_.roots.emplace_back(in.Text());
    t.key_.shown.emplace_back(in.Text());
  }
  t.key_.wine_view = in.Get() != 0;
  t.arena_ = std::string(in.Text());
  uint64_t n = in.Get();
  if (!in.ok || n >= kNone || n > in.data.size() / sizeof(Entry)) return false;
  t.entries_.resize(n);
  std::memcpy(t.entries_.data(), in.Bytes(n * sizeof(Entry)).data(), n * sizeof(Entry));
  uint64_t root_count = in.Get();
  if (root_count != roots) return false;
  for (uint64_t r = 0; r < roots && in.ok; ++r) t.roots_.push_back(static_cast<uint32_t>(in.Get()));
  uint64_t open_count = in.Get();
  for (uint64_t k = 0; k < open_count && in.ok; ++k) {
    uint64_t i = in.Get();
    std::string_view name = in.Text();
    if (i >= n) return false;
    t.open_names_[static_cast<uint32_t>(i)] = std::string(name);
  }
  for (auto& order : t.orders_) {
    uint64_t count = in.Get();
    if (!in.ok || count > n) return false;
    std::string_view bytes = in.Bytes(count * 4);
    if (!in.ok) return false;
    order.resize(count);
    std::memcpy(order.data(), bytes.data(), count * 4);
  }
  if (!in.ok || !in.data.empty()) return false;
  // Every number must point inside the table; parents come before their children.
  auto inside = [n](uint32_t i) { return i == kNone || i < n; };
  for (uint64_t i = 0; i < n; ++i) {
    const Entry& e = t.entries_[i];
    if (uint64_t(e.name) + e.name_length > t.arena_.size() || uint64_t(e.lower) + e.lower_length > t.arena_.size())
      return false;
    if (!inside(e.first_child) || !inside(e.next_sibling) || (e.flags & kDirty)) return false;
    bool root = e.flags & kRoot;
    if (root != (e.parent == kNone) || (!root && e.parent >= i)) return false;
    if (!root && !(e.flags & kDead)) ++t.live_;
    t.tags_.push_back(t.TagOf(e));
  }
  for (size_t r = 0; r < t.roots_.size(); ++r) {
    if (t.roots_[r] >= n || !(t.entries_[t.roots_[r]].flags & kRoot)) return false;
  }
  for (const auto& order : t.orders_) {
    if (order.size() != t.live_) return false;
    for (uint32_t i : order) {
      if (i >= n || (t.entries_[i].flags & (kDead | kRoot))) return false;
    }
  }
  t.hook_ = std::move(hook_);
  t.progress_ = progress_;
  *this = std::move(t);
  return true;
}

}  // namespace es
