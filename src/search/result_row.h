// One row of the result table: a match of the engine, or a row of the settings and actions lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumiseek {

struct ResultRow {
    std::string Name;
    std::string Folder;     // ends in "\" for results; Folder + Name is the full path
    std::string DateText;
    std::string SizeText;
    std::string SortDate;   // year-first key built from DateText
    int64_t Size = 0;
    int IsFolder = 0;
};

// The result table. Rows are numbered from 1 in every operation; Results[0] is row 1.
using ResultTable = std::vector<ResultRow>;

}  // namespace lumiseek
