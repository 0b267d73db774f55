// The text of a row's field: kept in place up to 23 bytes, on the heap beyond, used like a std::string.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "base/result_row.h"

namespace lumiseek {
namespace {

TEST(RowText, HoldsCopiesMovesAndOrdersAnyText) {
    for (size_t n : {0, 23, 24, 300}) {
        std::string text(n, 'x');
        if (n > 0) text[n - 1] = '\0';  // a NUL byte is text like any other
        RowText t = text, copy = t;
        RowText moved = std::move(copy);
        EXPECT_TRUE(copy.empty());  // a moved-from text is empty, never sharing its block
        copy = moved;
        moved = std::string(40, 'y');
        EXPECT_EQ(std::make_tuple(std::string(t), std::string(copy), t.size()), std::make_tuple(text, text, n));
    }
    std::vector<RowText> texts = {"\xC3\xA9t\xC3\xA9", "zebra", "", "ab", std::string(30, 'a')};
    std::sort(texts.begin(), texts.end());  // bytes as unsigned: é after z
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.end()),
              (std::vector<std::string>{"", std::string(30, 'a'), "ab", "zebra", "\xC3\xA9t\xC3\xA9"}));
    EXPECT_EQ(RowText("c:\\docs\\") + RowText("a.txt"), "c:\\docs\\a.txt");
}

}  // namespace
}  // namespace lumiseek
