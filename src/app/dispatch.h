// The main window's dispatcher: every message, command and notification the shell receives
// becomes one call here. The shell holds no decisions of its own.
#pragma once

#include <string>

#include "base/guard.h"
#include "view/colors.h"

namespace lumiseek {

struct App;

// Start-up steps that belong to the core, in the order the shell runs them.
void StartupLoadSettings(App& app);     // step 6: the first settings load (sizes and places the window)
void InitDialog(App& app);              // the window's initialisation message
void DeferredInit(App& app);            // WM_USER + 500
void OnDestroy(App& app);               // WM_DESTROY
void AfterWindow(App& app);             // after the modal loop: the restarter

// WM_COMMAND: command identifier and notification code (1 from the accelerator table).
void OnCommand(App& app, int id, int code);
// WM_SIZE
void OnSize(App& app);
// WM_MOUSEWHEEL: the signed wheel delta.
void OnMouseWheel(App& app, int delta);
// WM_SETCURSOR: true when the left button went down (pressed) with the pointer (in toolbar
// client coordinates) over the empty part of the toolbar right of its last button, which then
// drags the window like its caption. Hovering there drags nothing.
bool OnSetCursor(App& app, int x, int y, bool pressed);
// WM_HELP (F1): ctrl tells whether Ctrl is held down.
void OnHelp(App& app, bool ctrl);
// WM_CONTEXTMENU
void OnContextMenu(App& app);

// The toolbar: it received the focus; a right click on the button of this command (-1: none);
// its tooltip asks for the text of the button of this command.
void OnToolbarFocus(App& app);
void OnToolbarRightClick(App& app, int command);
void OnToolTipRequest(App& app, int command);

// Results list notifications.
void OnListColumnClick(App& app, int column);          // column from 1
void OnListDoubleClick(App& app);
bool OnListSpace(App& app);                           // true when Space ran a list row (the list must not see it)
bool OnListKeyDown(App& app, int vk);                  // true when the key was used (handler returns 1)
std::string OnListCellText(App& app, int row, int column);  // row and column from 1
void OnListSelectionChanged(App& app, int row);        // row from 1
void OnListFocus(App& app);
void OnPreviewDue(App& app);                          // the preview timer: the selection has rested
// The colours the list draws its selected row in.
RowColors OnListSelectedRowColors(App& app);

// Installs in app.reactions what the layers below ask of the top: RA's runner, the preview's
// redraw, the toolbar's rebuild. The shell connects its App once; the start-up steps and
// OnCommand connect too, so an App made elsewhere reaches the dispatcher from its first message.
void ConnectDispatcher(App& app);

// The font size stepped (StepFontSize in view/colors.h) and, for a step, the new size said.
void ChangeFontSize(App& app, int step);

}  // namespace lumiseek
