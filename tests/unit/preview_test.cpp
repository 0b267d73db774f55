// The image preview: where the image lands in the pane, what the pane shows for each kind of row,
// and the commands that change it.
#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "base/ids.h"
#include "fake_port.h"
#include "preview/preview.h"

namespace lumiseek {
namespace {

TEST(PreviewGeometry, ShrinksOrFillsByOneRatioAndCentresWithHalvesToEven) {
    EXPECT_EQ(ScaledImageRect(100, 50, 400, 300, false), (Rect{150, 125, 100, 50}));
    EXPECT_EQ(ScaledImageRect(100, 50, 400, 300, true), (Rect{0, 50, 400, 200}));
    EXPECT_EQ(ScaledImageRect(800, 600, 400, 300, false), (Rect{0, 0, 400, 300}));
    EXPECT_EQ(ScaledImageRect(1000, 200, 400, 300, true), (Rect{0, 110, 400, 80}));
    EXPECT_EQ(ScaledImageRect(5, 7, 10, 10, false), (Rect{2, 2, 5, 7}));  // 2.5 and 1.5 both to 2
    EXPECT_EQ(ScaledImageRect(100, 50, 0, 300, true), std::nullopt);
}

TEST(Preview, ImagesAreDrawnOtherFilesMarkedFoldersClearedAndTheCommandsRedraw) {
    FakePort port;
    App app{port};
    app.settings.ShowPreview = 1, app.settings.PreviewResize = 0, app.settings.ImageBG = 1, app.settings.FG = 65535;
    port.files = {{"c:\\p\\IMG_0001.JPG", ""}, {"c:\\p\\notes.txt", ""}, {"c:\\p\\broken.png", ""}};
    port.images["c:\\p\\IMG_0001.JPG"] = {100, 50};
    auto shown = [&](const std::string& path) {
        port.drawn.clear();
        SetPreviewPath(app, path);
        PreviewSelection(app);
        return port.drawn;
    };
    const Texts marked{"clear 0", "write 50,50 Not An Image 65535"};
    EXPECT_EQ(shown("c:\\p\\notes.txt"), marked);
    EXPECT_EQ(shown("c:\\p\\broken.png"), marked);
    EXPECT_EQ(shown("c:\\p\\"), (Texts{"clear 0"}));
    EXPECT_EQ(shown("c:\\p\\IMG_0001.JPG"), (Texts{"clear 0", "stretch 150,125 100x50"}));
    EXPECT_EQ(port.redrawn, (std::vector<int>(4, ctl::Preview)));

    for (int i = 0; i < 3; ++i) OnCommand(app, cmd::ImageBGColor, 0);
    EXPECT_EQ(port.drawn[port.drawn.size() - 6], "clear 16711680");  // each step redraws at once
    OnCommand(app, cmd::PreviewClick, 0);
    EXPECT_EQ(port.drawn.back(), "stretch 0,50 400x200");
    EXPECT_EQ(port.focused, ctl::ResultsList);
    OnCommand(app, cmd::TogglePreview, 0);
    EXPECT_EQ(shown("c:\\p\\IMG_0001.JPG"), Texts{});
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Image Background is Blue", "Image Background is White",
                                         "Image Background is Black", "Preview Resize is ON", "Show Preview is OFF"}));
    EXPECT_EQ(port.beeps, 5);
}

}  // namespace
}  // namespace lumiseek
