#include "search/short_folder.h"

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
    // The last field is empty, since the path ends in "\". Only a path that leaves at least one
    // folder out between the first two parts and the last is shortened; a shorter one is whole.
    size_t n = fields.size();
    if (n < 5) return path;
    return fields[0] + "\\" + fields[1] + "\\...\\" + fields[n - 2];
}

}  // namespace lumiseek
