// The image preview: where the image lands in the pane, what the pane shows for each kind of row,
// and the commands that change it.
#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"
#include "preview/preview.h"

namespace lumiseek {
namespace {

TEST(PreviewGeometry, ShrinksOrFillsByOneRatioAndCentresWithHalvesToEven) {
    struct Case { int w, h, cw, ch; bool resize; std::optional<Rect> at; };
    const Case cases[] = {
        {100, 50, 400, 300, false, Rect{150, 125, 100, 50}},
        {100, 50, 400, 300, true, Rect{0, 50, 400, 200}},
        {800, 600, 400, 300, false, Rect{0, 0, 400, 300}},
        {1000, 200, 400, 300, true, Rect{0, 110, 400, 80}},
        {5, 5, 10, 10, false, Rect{2, 2, 5, 5}},   // 2.5 rounds to 2
        {7, 7, 10, 10, false, Rect{2, 2, 7, 7}},   // 1.5 rounds to 2
        {100, 50, 0, 300, true, std::nullopt},
        {0, 50, 400, 300, true, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaledImageRect(c.w, c.h, c.cw, c.ch, c.resize), c.at) << c.w << "x" << c.h << " in " << c.cw;
    }
}

struct PreviewTest : ::testing::Test {
    test::FakePort port;
    App app{port};
    PreviewTest() {
        app.settings.ShowPreview = 1;
        app.settings.PreviewResize = 0;
        app.settings.ImageBG = 1;
        app.settings.FG = 65535;
        port.files = {{"c:\\p\\IMG_0001.JPG", ""}, {"c:\\p\\notes.txt", ""}, {"c:\\p\\broken.png", ""}};
        port.images["c:\\p\\IMG_0001.JPG"] = {100, 50};
    }
    Texts Shown(const std::string& path) {
        port.drawn.clear();
        SetPreviewPath(app, path);
        PreviewSelection(app);
        return port.drawn;
    }
};

TEST_F(PreviewTest, ImagesAreDrawnOtherFilesMarkedAndFoldersLeaveTheBackground) {
    EXPECT_EQ(Shown("c:\\p\\IMG_0001.JPG"), (Texts{"clear 0", "stretch 150,125 100x50"}));
    EXPECT_EQ(Shown("c:\\p\\notes.txt"), (Texts{"clear 0", "write 50,50 Not An Image 65535"}));
    EXPECT_EQ(Shown("c:\\p\\broken.png"), (Texts{"clear 0", "write 50,50 Not An Image 65535"}));
    EXPECT_EQ(Shown("c:\\p\\"), (Texts{"clear 0"}));
    EXPECT_EQ(port.redrawn, (std::vector<int>(4, ctl::Preview)));
    EXPECT_TRUE(port.shown[ctl::Preview]);
    app.settings.ShowPreview = 0;
    EXPECT_TRUE(Shown("c:\\p\\IMG_0001.JPG").empty());
}

TEST_F(PreviewTest, CommandsStepTheBackgroundAndSwitchTheScalingAndThePane) {
    SetPreviewPath(app, "c:\\p\\IMG_0001.JPG");
    for (int i = 0; i < 3; ++i) OnCommand(app, cmd::ImageBGColor, 0);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Image Background is Blue", "Image Background is White",
                                         "Image Background is Black"}));
    EXPECT_EQ(port.drawn[0], "clear 16711680");
    EXPECT_EQ(port.drawn[2], "clear 16777215");
    port.drawn.clear();
    OnCommand(app, cmd::PreviewClick, 0);
    EXPECT_EQ(app.settings.PreviewResize, 1);
    EXPECT_EQ(port.drawn, (Texts{"clear 0", "stretch 0,50 400x200"}));
    EXPECT_EQ(port.focused, ctl::ResultsList);
    OnCommand(app, cmd::TogglePreview, 0);
    EXPECT_FALSE(port.shown[ctl::Preview]);
    EXPECT_EQ(port.SpokenTexts().back(), "Show Preview is OFF");
    EXPECT_EQ(port.SpokenTexts().end()[-2], "Preview Resize is ON");
    EXPECT_EQ(port.beeps, 5);
}

}  // namespace
}  // namespace lumiseek
