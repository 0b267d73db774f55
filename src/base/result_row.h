// One row of the result table: a match of the engine, or a row of the settings and actions lists.
#pragma once

#include <cstdint>
#include <compare>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lumiseek {

// The text of one field of a row. A table of a million rows holds five of them per row, so a
// text is small: up to 23 bytes (a date, a size, most names) are kept in place, a longer one in a
// block of exactly its size. It reads as a std::string_view and turns into a std::string where
// one is needed; it is assigned like a std::string. (Where a std::string and a RowText meet in
// a ? b : c, say which one is meant: each turns into the other.)
class RowText {
public:
    RowText() noexcept { bytes_[kTag] = 0; }
    RowText(std::string_view text) { Assign(text); }
    RowText(const char* text) : RowText(std::string_view(text)) {}
    RowText(const std::string& text) : RowText(std::string_view(text)) {}
    RowText(const RowText& other) { Assign(other.view()); }
    RowText(RowText&& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.bytes_[kTag] = 0;
    }
    ~RowText() { Release(); }

    RowText& operator=(const RowText& other) {
        if (this != &other) *this = RowText(other);
        return *this;
    }
    RowText& operator=(RowText&& other) noexcept {
        if (this != &other) {
            Release();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.bytes_[kTag] = 0;
        }
        return *this;
    }
    RowText& operator=(std::string_view text) { return *this = RowText(text); }
    RowText& operator=(const char* text) { return *this = RowText(text); }
    RowText& operator=(const std::string& text) { return *this = RowText(text); }

    std::string_view view() const noexcept {
        if (OnHeap()) return {Block(), Length()};
        return {bytes_, static_cast<size_t>(static_cast<unsigned char>(bytes_[kTag]))};
    }
    operator std::string_view() const noexcept { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }

    size_t size() const noexcept { return view().size(); }
    bool empty() const noexcept { return size() == 0; }
    const char* data() const noexcept { return view().data(); }
    char operator[](size_t i) const noexcept { return view()[i]; }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size(); }

    friend bool operator==(const RowText& a, const RowText& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const RowText& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const RowText& a, const char* b) noexcept { return a.view() == b; }
    friend bool operator==(const RowText& a, const std::string& b) noexcept { return a.view() == b; }
    // Byte by byte as unsigned values, a prefix before the longer text (std::string_view's order).
    friend std::strong_ordering operator<=>(const RowText& a, const RowText& b) noexcept {
        return a.view() <=> b.view();
    }
    friend std::string operator+(const RowText& a, const RowText& b) { return Join(a.view(), b.view()); }
    friend std::string operator+(const RowText& a, std::string_view b) { return Join(a.view(), b); }
    friend std::string operator+(std::string_view a, const RowText& b) { return Join(a, b.view()); }
    friend std::string operator+(const RowText& a, const char* b) { return Join(a.view(), b); }
    friend std::string operator+(const char* a, const RowText& b) { return Join(a, b.view()); }
    friend std::string operator+(const RowText& a, const std::string& b) { return Join(a.view(), b); }
    friend std::string operator+(const std::string& a, const RowText& b) { return Join(a, b.view()); }
    friend std::ostream& operator<<(std::ostream& out, const RowText& t) { return out << t.view(); }

private:
    static constexpr size_t kTag = 23;            // in-place length 0 to 23, or kOnHeap
    static constexpr char kOnHeap = static_cast<char>(0xFF);
    // In place: bytes_[0..22] the text, bytes_[23] its length. On the heap: the block's address
    // in bytes_[0..7], the length in bytes_[8..15], bytes_[23] kOnHeap.
    alignas(8) char bytes_[24];

    bool OnHeap() const noexcept { return bytes_[kTag] == kOnHeap; }
    const char* Block() const noexcept {
        const char* p;
        std::memcpy(&p, bytes_, sizeof p);
        return p;
    }
    size_t Length() const noexcept {
        size_t n;
        std::memcpy(&n, bytes_ + 8, sizeof n);
        return n;
    }
    void Assign(std::string_view text) {
        if (text.size() <= kTag) {
            std::memcpy(bytes_, text.data(), text.size());
            bytes_[kTag] = static_cast<char>(text.size());
            return;
        }
        char* block = new char[text.size()];
        std::memcpy(block, text.data(), text.size());
        size_t n = text.size();
        std::memcpy(bytes_, &block, sizeof block);
        std::memcpy(bytes_ + 8, &n, sizeof n);
        bytes_[kTag] = kOnHeap;
    }
    void Release() noexcept {
        if (OnHeap()) delete[] Block();
        bytes_[kTag] = 0;
    }
    static std::string Join(std::string_view a, std::string_view b) {
        std::string out;
        out.reserve(a.size() + b.size());
        out.append(a).append(b);
        return out;
    }
};

struct ResultRow {
    RowText Name;
    RowText Folder;     // ends in "\" for results; Folder + Name is the full path
    RowText DateText;
    RowText SizeText;
    RowText SortDate;   // year-first key built from DateText
    int64_t Size = 0;
    int IsFolder = 0;
};

// The result table. Rows are numbered from 1 in every operation; Results[0] is row 1.
using ResultTable = std::vector<ResultRow>;

}  // namespace lumiseek
