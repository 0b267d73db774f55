#include "app/access.h"

#include "base/ids.h"

namespace lumiseek {

std::string AccessibleName(int control) {
    switch (control) {
        case ctl::SearchBox: return "Search term";
        case ctl::ResultsList: return "Results";
        case ctl::Preview: return "Preview";
        default: return "";
    }
}

}  // namespace lumiseek
