#include <gtest/gtest.h>

#include <algorithm>

#include "dialog/minimised_icon.h"
#include "dialog/restore_default_printer.h"
#include "fake_print_services.h"

namespace ikw {
namespace {

// Child windows as a list; a combo box's selection mimics CB_SELECTSTRING
// with start index 0: the search begins after entry 0 and wraps round to it.
class FakeChildren : public DialogChildWindows {
public:
    struct Window {
        std::u16string className;
        std::vector<std::u16string> entries;
        int selected = -1;
    };
    std::vector<Window> windows;
    std::vector<Child> notified;

    Child FirstChild() override { return windows.empty() ? 0 : 1; }
    Child NextSibling(Child c) override { return c < windows.size() ? c + 1 : 0; }
    std::u16string ClassName(Child c) override { return at(c).className; }
    int SelectEntryStartingWith(Child c, const std::u16string& prefix) override {
        Window& w = at(c);
        const int count = static_cast<int>(w.entries.size());
        for (int k = 1; k <= count; ++k) {
            const int i = k % count;
            if (StartsWithIgnoringCase(w.entries[i], prefix))
                return w.selected = i;
        }
        return -1;
    }
    void NotifySelectionChanged(Child c) override { notified.push_back(c); }

private:
    Window& at(Child c) { return windows.at(c - 1); }
    static bool StartsWithIgnoringCase(const std::u16string& s, const std::u16string& prefix) {
        if (prefix.size() > s.size())
            return false;
        return std::equal(prefix.begin(), prefix.end(), s.begin(),
                          [](char16_t a, char16_t b) { return std::towlower(a) == std::towlower(b); });
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
    testing::FakePrintServices spooler;
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

const Window kButton{u"Button", {}};
const Window kPrinters{u"ComboBox", {u"Sub", u"Office", u"Lab"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreTest,
    ::testing::Values(
        RestoreCase{"NoSubstituteDoesNothing", u"Office", u"", {kButton, kPrinters}, {-1, -1}, {}, {}},
        RestoreCase{"SelectsInFirstComboThatListsIt", u"office", u"Sub",
                    {kButton, {u"ComboBox", {u"Letter", u"A4"}}, kPrinters}, {-1, -1, 1}, {3}, {u"office"}},
        // Only the exact class name counts.
        RestoreCase{"IgnoresOtherClasses", u"Lab", u"Sub", {{u"ComboBoxEx32", {u"x", u"Lab"}}, kPrinters},
                    {-1, 2}, {2}, {u"Lab"}},
        RestoreCase{"NotListedStaysOnSubstitute", u"Gone", u"Sub", {kPrinters}, {-1}, {}, {u"Gone"}},
        // The prefix search starts after entry 0, so a longer name listed
        // later wins over the default printer itself at entry 0.
        RestoreCase{"PrefixSearchStartsAfterEntryZero", u"Lab", u"Sub",
                    {{u"ComboBox", {u"Lab", u"Sub", u"Lab 2"}}}, {2}, {1}, {u"Lab"}},
        RestoreCase{"EmptyDefaultMatchesFirstEntryAfterZero", u"", u"Sub", {kPrinters}, {1}, {1}, {u""}},
        RestoreCase{"NoChildren", u"A", u"Sub", {}, {}, {}, {u"A"}}),
    [](const ::testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

TEST(MinimisedIconOrigin, CentresWithTheOddPixelOnTheLeadingSide) {
    struct Case {
        int clientW, clientH, iconW, iconH, x, y;
    };
    const Case cases[] = {{36, 36, 32, 32, 2, 2}, {37, 33, 32, 32, 3, 1}, {32, 32, 32, 32, 0, 0}, {20, 10, 32, 32, -5, -10}};
    for (const Case& c : cases) {
        const Point p = MinimisedIconOrigin(c.clientW, c.clientH, c.iconW, c.iconH);
        EXPECT_EQ(p.x, c.x) << c.clientW;
        EXPECT_EQ(p.y, c.y) << c.clientH;
    }
}

}  // namespace
}  // namespace ikw
