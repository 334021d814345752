#include <gtest/gtest.h>

#include <algorithm>

#include "dialog/minimised_icon.h"
#include "dialog/restore_default_printer.h"
#include "fake_print_services.h"

namespace ikw {
namespace {

// Child windows as a list; a combo box's selection mimics CB_FINDSTRINGEXACT
// from entry 0: the whole entry, ignoring case.
class FakeChildren : public DialogChildWindows {
public:
    struct Window {
        std::u16string className;
        unsigned id;
        std::vector<std::u16string> entries;
        int selected = -1;
    };
    std::vector<Window> windows;
    std::vector<Child> notified;

    Child FirstChild() override { return windows.empty() ? 0 : 1; }
    Child NextSibling(Child c) override { return c < windows.size() ? c + 1 : 0; }
    std::u16string ClassName(Child c) override { return at(c).className; }
    unsigned ControlId(Child c) override { return at(c).id; }
    int SelectEntryNamed(Child c, const std::u16string& name) override {
        Window& w = at(c);
        for (std::size_t i = 0; i < w.entries.size(); ++i)
            if (EqualIgnoringCase(w.entries[i], name))
                return w.selected = static_cast<int>(i);
        return -1;
    }
    void NotifySelectionChanged(Child c) override { notified.push_back(c); }

private:
    Window& at(Child c) { return windows.at(c - 1); }
    static bool EqualIgnoringCase(const std::u16string& a, const std::u16string& b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
                   return std::towlower(x) == std::towlower(y);
               });
    }
};

using Window = FakeChildren::Window;

struct RestoreCase {
    const char* name;
    std::u16string defaultPrinter, substitute;
    std::vector<Window> windows;
    std::vector<int> expectedSelections;  // per window
    std::vector<DialogChildWindows::Child> expectedNotified;
    std::vector<std::u16string> expectedDefaultsSet;
};

void PrintTo(const RestoreCase& c, std::ostream* os) { *os << c.name; }

class RestoreTest : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(RestoreTest, SetsTheDefaultBackAndSelectsIt) {
    const RestoreCase& c = GetParam();
    test_support::FakePrintServices spooler;
    spooler.printers = {u"A", u"B"};
    FakeChildren children;
    children.windows = c.windows;

    RestoreDefaultPrinter(c.defaultPrinter, c.substitute, spooler, children);

    std::vector<int> selections;
    for (const auto& w : children.windows)
        selections.push_back(w.selected);
    EXPECT_EQ(selections, c.expectedSelections);
    EXPECT_EQ(children.notified, c.expectedNotified);
    EXPECT_EQ(spooler.defaultsSet, c.expectedDefaultsSet);
}

constexpr unsigned kPaperList = 0x471;
const Window kButton{u"Button", 1, {}};
const Window kPrinters{u"ComboBox", kPrinterListControlId, {u"Sub", u"Office", u"Lab"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreTest,
    ::testing::Values(
        RestoreCase{"NoSubstituteDoesNothing", u"Office", u"", {kButton, kPrinters}, {-1, -1}, {}, {}},
        RestoreCase{
            "SelectsTheWholeNameIgnoringCase", u"office", u"Sub", {kButton, kPrinters}, {-1, 1}, {2}, {u"office"}},
        // Only the printer list counts, whatever comes before it: a paper
        // name may begin with the printer's name, or be it.
        RestoreCase{"OnlyThePrinterList",
                    u"Lab",
                    u"Sub",
                    {{u"ComboBox", kPaperList, {u"Letter", u"Lab"}},
                     {u"ComboBoxEx32", kPrinterListControlId, {u"Lab"}},
                     kPrinters},
                    {-1, -1, 2},
                    {3},
                    {u"Lab"}},
        RestoreCase{"NotListedStaysOnSubstitute",
                    u"Gone",
                    u"Sub",
                    {kPrinters, {u"ComboBox", kPaperList, {u"Gone fishing"}}},
                    {-1, -1},
                    {},
                    {u"Gone"}},
        // Neither a longer name beginning with the default's nor one it
        // begins with is the default printer.
        RestoreCase{"ThePrinterItselfNotOneWithALongerName",
                    u"Lab",
                    u"Sub",
                    {{u"ComboBox", kPrinterListControlId, {u"Lab", u"Sub", u"Lab (redirected 2)"}}},
                    {0},
                    {1},
                    {u"Lab"}},
        RestoreCase{"NoPrefixMatch",
                    u"Lab",
                    u"Sub",
                    {{u"ComboBox", kPrinterListControlId, {u"Sub", u"Lab (redirected 2)", u"La"}}},
                    {-1},
                    {},
                    {u"Lab"}},
        RestoreCase{"EmptyDefaultSelectsNothing", u"", u"Sub", {kPrinters}, {-1}, {}, {u""}},
        RestoreCase{"NoChildren", u"A", u"Sub", {}, {}, {}, {u"A"}}),
    [](const ::testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

TEST(MinimisedIconOrigin, CentresWithTheOddPixelOnTheLeadingSide) {
    struct Case {
        int clientW, clientH, iconW, iconH, x, y;
    };
    const Case cases[] = {
        {36, 36, 32, 32, 2, 2}, {37, 33, 32, 32, 3, 1}, {32, 32, 32, 32, 0, 0}, {20, 10, 32, 32, -5, -10}};
    for (const Case& c : cases) {
        const Point p = MinimisedIconOrigin(c.clientW, c.clientH, c.iconW, c.iconH);
        EXPECT_EQ(p.x, c.x) << c.clientW;
        EXPECT_EQ(p.y, c.y) << c.clientH;
    }
}

}  // namespace
}  // namespace ikw
