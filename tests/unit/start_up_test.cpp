#include <gtest/gtest.h>

#include <functional>

#include "app/start_up.h"
#include "fake_print_services.h"

namespace ikw {
namespace {

using Names = std::vector<std::u16string>;
const std::u16string kPdf = u"Microsoft Print to PDF";

TEST(GetSubstitutePrinterName, CountsOnlyPrintersThatAreNotExcluded) {
    struct Case {
        Names printers;
        std::size_t n;
        std::u16string expected;
    };
    const Case cases[] = {
        {{u"A", kPdf, u"B"}, 0, u"A"},
        {{u"A", kPdf, u"B"}, 1, u"B"},
        {{u"A", kPdf, u"B"}, 2, u""},
        {{kPdf, kPdf, u"C"}, 0, u"C"},
        {{kPdf}, 0, u""},
        {{}, 0, u""},
        // Only the exact name is excluded.
        {{u"microsoft print to pdf", u"B"}, 0, u"microsoft print to pdf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetSubstitutePrinterName(c.n, c.printers, kPdf), c.expected) << "n=" << c.n;
}

// A dialog host that opens only on the printers listed as working, judged by
// the system default at the moment the dialog runs.
class ScriptedDialogs : public SetupDialogHost {
public:
    explicit ScriptedDialogs(testing::FakePrintServices& spooler) : spooler_(spooler) {}
    Names opensOn;
    struct Run {
        std::u16string systemDefault, defaultPrinter, substitute;
    };
    std::vector<Run> runs;
    int destroyed = 0;

    bool RunSetupDialog(const std::u16string& d, const std::u16string& s) override {
        runs.push_back({spooler_.defaultPrinter, d, s});
        for (const auto& name : opensOn)
            if (name == spooler_.defaultPrinter) {
                // The opened dialog hands the default back when it had a substitute.
                if (!s.empty())
                    spooler_.ChangeDefaultPrinter(d);
                return true;
            }
        return false;
    }
    void DestroySetupDialog() override { ++destroyed; }

private:
    testing::FakePrintServices& spooler_;
};

struct StartUpCase {
    const char* name;
    Names printers;
    std::u16string defaultPrinter;
    Names opensOn;
    Names expectedSystemDefaultsAtRuns;  // the default while each dialog ran
    Names expectedDefaultsSet;           // every change the program made
    std::u16string expectedFinalDefault;
};

void PrintTo(const StartUpCase& c, std::ostream* os) { *os << c.name; }

class StartUpTest : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(StartUpTest, TriesSubstitutesAndHandsTheDefaultBack) {
    const StartUpCase& c = GetParam();
    testing::FakePrintServices spooler;
    spooler.printers = c.printers;
    spooler.defaultPrinter = c.defaultPrinter;
    ScriptedDialogs dialogs(spooler);
    dialogs.opensOn = c.opensOn;

    RunStartUp(spooler, dialogs);

    Names systemDefaults;
    for (const auto& run : dialogs.runs) {
        systemDefaults.push_back(run.systemDefault);
        EXPECT_EQ(run.defaultPrinter, c.defaultPrinter);
    }
    EXPECT_EQ(systemDefaults, c.expectedSystemDefaultsAtRuns);
    EXPECT_EQ(spooler.defaultsSet, c.expectedDefaultsSet);
    EXPECT_EQ(spooler.defaultPrinter, c.expectedFinalDefault);
    EXPECT_EQ(dialogs.destroyed, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpTest,
    ::testing::Values(
        StartUpCase{"OpensOnDefault", {u"A", u"B"}, u"B", {u"A", u"B"}, {u"B"}, {}, u"B"},
        // D is the first candidate: it is tried again before moving on.
        StartUpCase{"RetriesDefaultThenNext", {u"A", u"B"}, u"A", {u"B"}, {u"A", u"A", u"B"}, {u"A", u"B", u"A"}, u"A"},
        StartUpCase{"SkipsExcludedWhenRetrying", {kPdf, u"A", u"B"}, u"B", {u"A"}, {u"B", u"A"}, {u"A", u"B"}, u"B"},
        StartUpCase{"NothingOpensRestoresDefault", {u"A"}, u"B", {}, {u"B", u"A"}, {u"A", u"B"}, u"B"},
        StartUpCase{"EmptyListRestoresDefault", {}, u"B", {}, {u"B"}, {u"B"}, u"B"},
        // With no default at all, the empty name hands the choice back to the spooler.
        StartUpCase{"NoDefaultPrinter", {u"A"}, u"", {u"A"}, {u"", u"A"}, {u"A", u""}, u"A"},
        StartUpCase{"ExcludedDefaultUsesSubstitute", {kPdf, u"A"}, kPdf, {u"A"}, {u"A"}, {u"A", kPdf}, kPdf},
        // No substitute exists; the dialog is run once all the same.
        StartUpCase{"ExcludedDefaultAlone", {kPdf}, kPdf, {kPdf}, {kPdf}, {u""}, kPdf},
        // Never left on the substitute when the one attempt fails.
        StartUpCase{"ExcludedDefaultNeverOpens", {kPdf, u"A", u"B"}, kPdf, {}, {u"A"}, {u"A", kPdf}, kPdf},
        StartUpCase{"ExclusionIsCaseSensitive", {u"A"}, u"microsoft print to pdf", {u"microsoft print to pdf"},
                    {u"microsoft print to pdf"}, {}, u"microsoft print to pdf"}),
    [](const ::testing::TestParamInfo<StartUpCase>& info) { return std::string(info.param.name); });

TEST(StartUp, EndsWithoutDialogWhenThePrinterListCannotBeAllocated) {
    testing::FakePrintServices spooler;
    spooler.listAllocationFails = true;
    spooler.defaultPrinter = u"A";
    ScriptedDialogs dialogs(spooler);
    RunStartUp(spooler, dialogs);
    EXPECT_TRUE(dialogs.runs.empty());
    EXPECT_TRUE(spooler.defaultsSet.empty());
    EXPECT_EQ(dialogs.destroyed, 0);
}

}  // namespace
}  // namespace ikw
