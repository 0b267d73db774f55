#include "actions/print.h"

#include <algorithm>

#include "base/app.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {
constexpr int kSmallPrintPoints = 12;
}  // namespace

std::vector<std::vector<std::string>> PrintPagesOf(const std::vector<std::string>& names, int linesPerPage) {
    const size_t perPage = static_cast<size_t>(std::max(linesPerPage, 1));
    std::vector<std::vector<std::string>> pages;
    for (size_t i = 0; i < names.size(); i += perPage) {
        pages.emplace_back(names.begin() + i, names.begin() + std::min(names.size(), i + perPage));
    }
    return pages;
}

void PrintSearch(App& app) {
    const Settings& s = app.settings;
    if (s.PrintFont == 1) SpeakOne(app, "Printing With Visual Font ...");
    if (s.PrintFont == 0) SpeakOne(app, "Printing With Small Font ...");

    // The limit counts the lines of the whole print, whatever the page breaks.
    size_t count = app.Results.size();
    if (s.MaxPrintLines > 0) count = std::min(count, static_cast<size_t>(s.MaxPrintLines));
    std::vector<std::string> names;
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        names.push_back(app.Results[i].Name);
        text += names.back() + "\r\n";
    }

    PrintStart start = app.port.BeginPrint(s.FontName, s.PrintFont != 0 ? s.FontSize : kSmallPrintPoints);
    bool printed = start.outcome == PrintStart::Ready && app.port.PrintPages(PrintPagesOf(names, start.linesPerPage));

    size_t first = text.find_first_not_of("\r\n");
    size_t last = text.find_last_not_of("\r\n");
    app.port.SetClipboardText(first == std::string::npos ? "" : text.substr(first, last - first + 1));

    if (start.outcome == PrintStart::Cancelled) {
        SpeakOne(app, "Printing Cancelled");
    } else if (!printed) {
        SpeakOne(app, "Printing Failed");
    }
}

}  // namespace lumiseek
