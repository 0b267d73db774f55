// The index service: a background process of es that holds an IndexTable of the roots, keeps it
// current from change notifications, saves it to the per-user cache file and answers searches over a
// channel only the same user can open. A search asks it first and walks when it is not ready, is for
// other roots, or does not answer in time.
//
// Protocol (one request per connection; on a Unix socket the client closes its sending side after the
// request, on a Windows pipe, which cannot be half closed, each side's message comes after its length
// in decimal and a line end):
//   request  fields ended by NUL: "search", the command line, "1"/"0" (slash switches), the root
//            count, each root and its shown form, "1"/"0" (Wine view); or "status"; or "stop".
//   reply    to a search: "rows <rows> <bytes> <unreadable roots>\n", each unreadable root ended by
//            NUL, then exactly <bytes> bytes of rows; or one line saying why not ("building ...",
//            "other roots"). To status: the status line. To stop: "stopped\n" once saved.
#pragma once

#include <string>

#include "index.h"
#include "options.h"
#include "search.h"

namespace es {

// How long a search waits for the service: for its first answer, and between two parts of it.
constexpr int kIndexAnswerMs = 2000;
constexpr int kRescanUnwatchedSeconds = 30;

// The request for a search, as it goes over the channel.
std::string IndexSearchRequest(std::string_view command_line, bool slash_switches, const IndexKey& key);
// Reads a search request back; false when it is not one.
bool ReadIndexSearchRequest(std::string_view request, std::string& command_line, bool& slash_switches,
                            IndexKey& key);
// The reply to a search: this head, then the rows (`rows_bytes` of them); read back whole, or false for
// a reply that is not whole.
std::string IndexSearchReplyHead(const SearchReport& report, size_t rows_bytes);
bool ReadIndexSearchReply(std::string reply, SearchReport& report, std::string& rows);
// The size of a search reply (a little more) as its first bytes tell it, so that it is received into
// one buffer; 0 while they do not tell it.
size_t IndexSearchReplySize(std::string_view start);

// The search answered by a running service: true with the rows and the report when it answered whole.
// `none_running` (when given) tells whether no service was there at all, as against one that was
// building, kept other roots or did not answer in time.
bool SearchThroughIndex(std::string_view command_line, bool slash_switches, const IndexKey& key, std::string& rows,
                        SearchReport& report, bool* none_running = nullptr);

// -index-start, -index-status, -index-stop: what they print, and their exit codes.
int StartIndexService(std::string_view command_line, const IndexKey& key);
int IndexServiceStatus();
int StopIndexService();
// Starts a service for the roots of `command_line` (a search's) and returns at once, printing
// nothing: for the searches after one that found none running.
void StartIndexServiceInBackground(std::string_view command_line);

// The service itself (-index-serve): returns its exit code when it ends.
int ServeIndex(const IndexKey& key, int64_t idle_minutes);

}  // namespace es
