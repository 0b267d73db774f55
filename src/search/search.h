// A search: the term from the search box, the argument string for Everything's es, the
// engine run, and the announcement of the outcome.
#pragma once

#include <cstdint>
#include <string>

namespace lumiseek {

struct App;

// Runs one search of the current SearchType (1 files, 2 folders, 3 both, 4 custom).
void Search(App& app);

// 1 when SearchTerm holds only allowed characters; else gives the search box the focus
// with its whole text selected and returns 0.
int ValidSearchTerm(App& app);

// The folder exclusions at the front of the arguments: one " !" term per line of exclusion.txt,
// a line holding a blank in double quotes; the system folders when there is no such file.
std::string FolderString(App& app);

// Fills the extension lists of the custom-search prefixes; once, at start-up.
void CreateFileTypeLists(App& app);

// Replaces the prefixes "audio:", "zip:", "doc:", "exe:", "pic:", "video:" in SearchCommand
// where a word starts: at its start or after a blank, "!", "|" or a double quote.
void ExpandEsPrefixes(App& app);

// The spoken form of SearchTerm: "Empty", or the term with a blank before each * and ?.
std::string SpreadSearchTerm(const App& app);

// The words for a failed engine run, from the exit code of es.
std::string SearchFailureReason(uint32_t exitCode);

}  // namespace lumiseek
