// The ground every layer stands on when it runs something it cannot vouch for, or needs the layer
// on top: the guarded call with its error report, and the calls up (RA, which runs a command by
// its identifier, the preview's redraw, the toolbar's rebuild) through what the dispatcher
// installs in App::reactions.
#pragma once

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

namespace lumiseek {

struct App;

// Runs fn; an exception it throws reaches the generic error box. OK continues, Cancel exits 255.
// True when fn ran to its end.
template <typename Fn>
bool Guarded(App& app, const char* operation, Fn&& fn);
void ReportUntrappedError(App& app, int number, const std::string& description, const char* operation);

// The calls up, each through what the dispatcher installed in App::reactions (ConnectDispatcher);
// before it is connected they do nothing, as there is nothing on top to do it.
// RA: run a command exactly as if its toolbar button had been pressed.
void RA(App& app, int id);
// The preview pane drawn again for the selected row (a new layout).
void AskPreviewRedraw(App& app);
// The preview pane for a new selection: cleared at once, drawn once the selection has rested.
void AskPreviewSoon(App& app);
// The toolbar removed and, while ShowToolbar is on, created anew (after a search, which may
// have been started from one of its buttons).
void AskToolbarRebuild(App& app);

template <typename Fn>
bool Guarded(App& app, const char* operation, Fn&& fn) {
    try {
        fn();
        return true;
    } catch (const std::bad_alloc&) {
        ReportUntrappedError(app, 7, "Out of memory", operation);
    } catch (const std::out_of_range& e) {
        ReportUntrappedError(app, 9, std::string("Subscript out of range: ") + e.what(), operation);
    } catch (const std::system_error& e) {
        ReportUntrappedError(app, e.code().value(), e.what(), operation);
    } catch (const std::exception& e) {
        ReportUntrappedError(app, 5, e.what(), operation);
    } catch (...) {
        ReportUntrappedError(app, 51, "Internal error", operation);
    }
    return false;
}

}  // namespace lumiseek
