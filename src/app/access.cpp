#include "app/access.h"

#include "app/toolbar.h"
#include "base/ids.h"
#include "base/text.h"

namespace lumiseek {

std::string AccessibleName(int control) {
    switch (control) {
        case ctl::SearchBox: return "Search term";
        case ctl::ResultsList: return "Results";
        case ctl::Toolbar: return "Toolbar";
        case ctl::Preview: return "Preview";
        default: return "";
    }
}

std::string AccessibleButtonName(int command) {
    if (std::optional<std::string> tip = GetToolTip(command)) return TrimSpaces(*tip);
    return command == cmd::NextMenu ? "Next Toolbar Page" : "";
}

}  // namespace lumiseek
