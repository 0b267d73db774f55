// A search: the term from the search box, the argument string for Everything's es, the
// engine run, and the announcement of the outcome.
#pragma once

#include <cstdint>
#include <string>

namespace lumiseek {

struct App;

// Runs one search of the search box's term; searchType becomes SearchType (1 files, 2 folders,
// 3 both, 4 custom). A search that brings no new results (failed, refused or cancelled) shows the
// rows as they were; started from the settings or actions list, that list stays in its mode.
void Search(App& app, int searchType);

// Searches files and folders for a known folder path, given to es as one argument as it is: it
// is not typed text, so the search box and its checks are left alone.
void SearchFolder(App& app, const std::string& folder);

// True when the command line of `program` with `arguments` would pass Windows' limit.
bool CommandLineTooLong(const std::string& program, const std::string& arguments);

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
