// The dispatcher's start-up steps, in the order the shell runs them, and the closing.
#include "app/dispatch.h"

#include <string>

#include "actions/update.h"
#include "app/toolbar.h"
#include "base/app.h"
#include "base/guard.h"
#include "base/ids.h"
#include "base/settings.h"
#include "preview/preview.h"
#include "search/columns.h"
#include "search/results.h"
#include "speech/search_box.h"
#include "speech/speech.h"
#include "view/colors.h"
#include "view/layout.h"

namespace lumiseek {

namespace {

// The settings size and place the window; wherever that is, it ends wholly on a screen.
void LoadSettingsOnScreen(App& app) {
    Guarded(app, "SettingsFile", [&] { SettingsFile(app, "get"); });
    Guarded(app, "KeepWindowOnScreen", [&] { KeepWindowOnScreen(app); });
}

}  // namespace

void StartupLoadSettings(App& app) {
    ConnectDispatcher(app);
    LoadSettingsOnScreen(app);
}

// Each start-up step runs guarded on its own: an error in one (a results file that cannot be
// read, say) is reported and skips that step only, so the window still comes up whole, with
// the welcome, the focus and the restored row.
void InitDialog(App& app) {
    ConnectDispatcher(app);
    Settings& s = app.settings;
    Guarded(app, "InitDialog", [&] {
        app.port.StartGdiplus();
        app.CounterFrequency = app.port.CounterFrequency();
    });
    LoadSettingsOnScreen(app);
    Guarded(app, "InitDialog", [&] {
        app.port.VoiceSetRate(s.vRate);
        s.SearchType = s.LastSearchType;
    });
    Guarded(app, "CreateToolbar", [&] {
        if (s.ShowToolbar != 0) CreateToolbar(app);
    });
    Guarded(app, "BuildAccelerators", [&] { app.port.AttachAcceleratorTable(); });
    Guarded(app, "InitDialog", [&] {
        app.port.SetStatusFont(s.FontName, 14);
        app.port.SetLargeFont(s.FontName, s.FontSize);
        app.port.SetBoxText(s.SearchTerm);
    });
    Guarded(app, "ChangeControlColors", [&] { ChangeControlColors(app); });
    Guarded(app, "InitDialog", [&] { app.port.SetShowState(s.Maximized != 0, s.Minimized != 0); });
    // Without the last results the list still shows its "<empty>" row.
    if (!Guarded(app, "OpenSession", [&] { OpenSession(app); })) {
        Guarded(app, "InitializeList", [&] {
            InitializeList(app);
            ShowSearchResults(app);
        });
    }
    Guarded(app, "InitDialog", [&] { app.port.PostDeferredInit(); });
}

void DeferredInit(App& app) {
    const Settings& s = app.settings;
    Guarded(app, "DeferredInit", [&] {
        app.port.RedrawWindow();
        SetTopLvRow(app, s.TopRow);
        app.port.ListSelectRow(s.LastRow);
    });
    Guarded(app, "PreviewSelection", [&] { PreviewSelection(app); });
    Guarded(app, "Resize", [&] { Resize(app); });
    Guarded(app, "DeferredInit", [&] {
        app.SpeechPrefix = std::string("Welcome to Lumiseek, version ") + kVersion + "!";
        app.port.BoxSelect(0, -1);
        // A box that has the focus already (the last results were shown with the focus on the
        // search term) gets no new focus notification: it announces itself here, so that the
        // welcome is spoken at start, not in front of whatever is said next.
        if (app.port.HasFocus(ctl::SearchBox)) {
            NewReProc(app, ReMessage::Focus, 0, KeyState{});
        } else {
            app.port.Focus(ctl::SearchBox);
        }
    });
    // Behind the welcome: an update whose program could not start was undone.
    Guarded(app, "ReportRestoredUpdate", [&] { ReportRestoredUpdate(app); });
}

void OnDestroy(App& app) {
    Guarded(app, "WM_DESTROY", [&] {
        app.settings.TopRow = app.port.ListTopIndex();
        app.settings.LastRow = app.port.ListSelectedRow();
        if (!SettingsFile(app, "save")) SpeakOneWait(app, "Settings could not be saved");
        SpeakOneWait(app, "Exiting Lumiseek");
    });
}

void AfterWindow(App& app) {
    Guarded(app, "StartRestarter", [&] { StartRestarter(app); });
}

}  // namespace lumiseek
