#include "actions/short_folder.h"

#include <vector>

#include "base/app.h"

namespace lumiseek {

std::string ShortFolder(const App& app, const std::string& path) {
    if (app.settings.ShortPath == 0 || path.empty()) return "";
    std::string p = path;
    if (p.back() != '\\') p += '\\';
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t i = 0; i <= p.size(); ++i) {
        if (i == p.size() || p[i] == '\\') {
            fields.push_back(p.substr(start, i - start));
            start = i + 1;
        }
    }
    // At least two fields, since the path ends in "\"; the last one is empty.
    size_t n = fields.size();
    return fields[0] + "\\" + fields[1] + "\\...\\" + fields[n - 2];
}

}  // namespace lumiseek
