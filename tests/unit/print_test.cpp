// Printing the names: what reaches the printer page by page, the clipboard, and what is spoken.
#include <gtest/gtest.h>

#include "actions/print.h"
#include "base/app.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct PrintTest : ::testing::Test {
    test::FakePort port;
    App app{port};
    PrintTest() {
        for (int i = 1; i <= 200; ++i) app.Results.push_back({"n" + std::to_string(i), "c:\\", "", "", "", 0, 0});
        app.settings.FontName = "Verdana";
        app.settings.FontSize = 36;
    }
    std::vector<size_t> PageSizes() {
        std::vector<size_t> sizes;
        for (const auto& page : port.printed) sizes.push_back(page.size());
        return sizes;
    }
};

TEST_F(PrintTest, TheLimitCountsTheWholePrintAndPagesBreakWhenFull) {
    app.settings.MaxPrintLines = 10;
    PrintSearch(app);
    EXPECT_EQ(PageSizes(), (std::vector<size_t>{10}));
    EXPECT_EQ(port.clipboard, "n1\r\nn2\r\nn3\r\nn4\r\nn5\r\nn6\r\nn7\r\nn8\r\nn9\r\nn10");
    EXPECT_EQ(std::make_pair(port.printFace, port.printPoints), std::make_pair(std::string("Verdana"), 12));
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Printing With Small Font ..."}));
    app.settings.MaxPrintLines = 100;
    app.settings.PrintFont = 1;
    PrintSearch(app);
    EXPECT_EQ(PageSizes(), (std::vector<size_t>{60, 40}));
    EXPECT_EQ(port.printed[1][0], "n61");
    EXPECT_EQ(port.printPoints, 36);
    app.settings.MaxPrintLines = 0;
    port.printStart.linesPerPage = 0;   // a font taller than the page still prints a line to a page
    PrintSearch(app);
    EXPECT_EQ(port.printed.size(), 200u);
    EXPECT_EQ(port.SpokenTexts().back(), "Printing With Visual Font ...");
}

TEST_F(PrintTest, CancelAndFailureAreSpokenAndTheNamesStillReachTheClipboard) {
    app.Results = {{"<empty>", "", "", "", "", 0, 0}};
    port.printStart.outcome = PrintStart::Cancelled;
    PrintSearch(app);
    EXPECT_TRUE(port.printed.empty());
    EXPECT_EQ(port.clipboard, "<empty>");
    port.printStart.outcome = PrintStart::Failed;
    PrintSearch(app);
    port.printStart.outcome = PrintStart::Ready;
    port.printFails = true;
    PrintSearch(app);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Printing With Small Font ...", "Printing Cancelled",
                                         "Printing With Small Font ...", "Printing Failed",
                                         "Printing With Small Font ...", "Printing Failed"}));
}

}  // namespace
}  // namespace lumiseek
