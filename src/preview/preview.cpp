#include "preview/preview.h"

#include "base/app.h"

namespace lumiseek {

// The image preview is not built yet: the path is not kept and nothing is drawn.
void SetPreviewPath(App&, const std::string&) {}
void RefreshPreview(App&) {}

}  // namespace lumiseek
