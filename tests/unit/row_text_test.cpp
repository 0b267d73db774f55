// The text of a row's field: kept in place up to 23 bytes, on the heap beyond, and used like a
// std::string either way.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/result_row.h"

namespace lumiseek {
namespace {

TEST(RowText, HoldsAnyTextInPlaceOrOnTheHeap) {
    for (size_t n : {0, 1, 22, 23, 24, 25, 300}) {
        std::string text(n, 'x');
        if (n > 0) text[n - 1] = '\0';  // a NUL byte is text like any other
        RowText t = text;
        EXPECT_EQ(t.size(), n);
        EXPECT_EQ(t.empty(), n == 0);
        EXPECT_EQ(t, text);
        EXPECT_EQ(std::string(t), text);

        RowText copy = t;
        RowText moved = std::move(copy);
        EXPECT_EQ(moved, text);
        EXPECT_TRUE(copy.empty());  // a moved-from text is empty, never sharing its block
        copy = moved;
        copy = copy;
        EXPECT_EQ(copy, text);
        moved = "short";
        EXPECT_EQ(moved, "short");
        moved = std::string(40, 'y');
        moved = std::move(copy);
        EXPECT_EQ(moved, text);
    }
}

TEST(RowText, OrdersBytesAsUnsignedAndJoinsLikeAString) {
    std::vector<RowText> texts = {"\xC3\xA9t\xC3\xA9", "zebra", "", "a", "ab", std::string(30, 'a')};
    std::sort(texts.begin(), texts.end());
    std::vector<std::string> sorted(texts.begin(), texts.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"", "a", std::string(30, 'a'), "ab", "zebra", "\xC3\xA9t\xC3\xA9"}));

    RowText folder = "c:\\users\\ann\\documents\\", name = "budget.xlsx";
    EXPECT_EQ(folder + name, "c:\\users\\ann\\documents\\budget.xlsx");
    EXPECT_EQ("(f) " + name, "(f) budget.xlsx");
    EXPECT_EQ(std::string("x") + name + "!", "xbudget.xlsx!");
    EXPECT_EQ(name[0], 'b');
}

}  // namespace
}  // namespace lumiseek
