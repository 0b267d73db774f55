// Printing the names: what reaches the printer page by page, the clipboard, and what is spoken.
#include <gtest/gtest.h>

#include "actions/print.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

TEST(Print, TheLimitCountsTheWholePrintPagesBreakWhenFullAndEveryOutcomeIsHeard) {
    FakePort port;
    App app{port};
    for (int i = 1; i <= 200; ++i) app.Results.push_back({"n" + std::to_string(i), "c:\\", "", "", "", 0, 0});
    app.settings.FontSize = 36, app.settings.MaxPrintLines = 3;
    PrintSearch(app);
    EXPECT_EQ(port.printed, (std::vector<Texts>{{"n1", "n2", "n3"}}));
    EXPECT_EQ(port.clipboard, "n1\r\nn2\r\nn3");
    EXPECT_EQ(port.printPoints, 12);
    app.settings.MaxPrintLines = 100, app.settings.PrintFont = 1;
    PrintSearch(app);
    ASSERT_EQ(port.printed.size(), 2u);
    EXPECT_EQ((Texts{port.printed[0].back(), port.printed[1][0], port.printed[1].back()}),
              (Texts{"n60", "n61", "n100"}));
    EXPECT_EQ(port.printPoints, 36);
    app.settings.MaxPrintLines = 0, app.settings.PrintFont = 0;
    port.printStart = {PrintStart::Ready, 0};  // a font taller than the page: still a line to a page
    PrintSearch(app);
    EXPECT_EQ(port.printed.size(), 200u);
    port.clipboard.clear();
    port.printStart.outcome = PrintStart::Cancelled;
    PrintSearch(app);
    EXPECT_TRUE(port.clipboard.starts_with("n1\r\nn2\r\n") && port.clipboard.ends_with("\r\nn200"));
    port.printStart.outcome = PrintStart::Ready;
    port.printFails = true;
    PrintSearch(app);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Printing With Small Font ...", "Printing With Visual Font ...",
                                         "Printing With Small Font ...", "Printing With Small Font ...",
                                         "Printing Cancelled", "Printing With Small Font ...", "Printing Failed"}));
}

}  // namespace
}  // namespace lumiseek
