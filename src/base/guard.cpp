#include "base/guard.h"

#include "base/app.h"

namespace lumiseek {

void ReportUntrappedError(App& app, int number, const std::string& description, const char* operation) {
    std::string message = "Untrapped Error #" + std::to_string(number) + " (" + description + ")" + "\r\n" +
                          "has occurred following execution of " + operation + "\r\n\r\n" +
                          "Press OK to continue, Cancel to terminate";
    if (!app.port.AskContinueAfterError(message)) app.port.ExitProcess(255);
}

void RA(App& app, int id) {
    if (app.reactions.RunCommand != nullptr) app.reactions.RunCommand(app, id);
}

void AskPreviewRedraw(App& app) {
    if (app.reactions.RedrawPreview != nullptr) app.reactions.RedrawPreview(app);
}

void AskPreviewSoon(App& app) {
    if (app.reactions.PreviewSoon != nullptr) app.reactions.PreviewSoon(app);
}

void AskToolbarRebuild(App& app) {
    if (app.reactions.RebuildToolbar != nullptr) app.reactions.RebuildToolbar(app);
}

}  // namespace lumiseek
