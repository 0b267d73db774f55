// The image preview pane beside the results list: the selected file drawn scaled and centred on a
// background of the user's choice when it is an image, "Not An Image" otherwise.
#pragma once

#include <optional>
#include <string>

#include "base/port.h"

namespace lumiseek {

struct App;

// The full path of the selected row, to be shown when it is an image.
void SetPreviewPath(App& app, const std::string& path);
// Draws the pane again for the current path, pane size and settings; does nothing while
// ShowPreview is off.
void PreviewSelection(App& app);
// After a new selection: the pane shows its background at once and the file is drawn once the
// selection has rested a moment, so arrowing through large pictures does not wait for each decode.
void PreviewSoon(App& app);
// Steps ImageBG White, Black, Blue and back, says which, and redraws the pane.
void ManageImageBG(App& app);

// The background colour (a COLORREF) that ImageBG selects.
int ImageBGColor(int ImageBG);
// The colour (a COLORREF) of text written on the background that ImageBG selects: black on white,
// white on black or blue.
int ImageTextColor(int ImageBG);
// Where a width x height image is drawn in a cw x ch pane: its own size when it fits and resize
// is off, else scaled by one ratio to fill the pane in one direction; centred. None when the pane
// or the image has no area.
std::optional<Rect> ScaledImageRect(int width, int height, int cw, int ch, bool resize);

}  // namespace lumiseek
