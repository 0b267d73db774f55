// The image preview pane beside the results list.
#pragma once

#include <string>

namespace lumiseek {

struct App;

// The full path of the selected row, to be shown when it is an image.
void SetPreviewPath(App& app, const std::string& path);
// Draws the preview again for the current path and pane size.
void RefreshPreview(App& app);

}  // namespace lumiseek
