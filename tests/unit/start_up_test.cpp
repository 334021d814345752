#include <gtest/gtest.h>

#include <functional>

#include "app/start_up.h"
#include "devinfo/message_texts.h"
#include "fake_string_table.h"
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
    explicit ScriptedDialogs(test_support::FakePrintServices& spooler) : m_spooler(spooler) {}
    Names opensOn;
    struct Run {
        std::u16string systemDefault, defaultPrinter, substitute;
    };
    std::vector<Run> runs;
    int destroyed = 0;
    std::u16string userChoosesDefault;  // made default by the user while a dialog is open

    bool RunSetupDialog(const std::u16string& d, const std::u16string& s) override {
        runs.push_back({m_spooler.defaultPrinter, d, s});
        for (const auto& name : opensOn)
            if (name == m_spooler.defaultPrinter) {
                // The opened dialog hands the default back when it had a substitute.
                if (!s.empty())
                    m_spooler.ChangeDefaultPrinter(d);
                if (!userChoosesDefault.empty())
                    m_spooler.defaultPrinter = userChoosesDefault;
                return true;
            }
        return false;
    }
    void DestroySetupDialog() override { ++destroyed; }

private:
    test_support::FakePrintServices& m_spooler;
};

class RecordedMessages : public MessageBoxes {
public:
    Names shown;
    void ShowMessage(const std::u16string& text, MessageIcon icon) override {
        EXPECT_EQ(icon, MessageIcon::Exclamation);
        shown.push_back(text);
    }
};

struct StartUpCase {
    const char* name;
    Names printers;
    std::u16string defaultPrinter;
    Names opensOn;
    Names expectedSystemDefaultsAtRuns;  // the default while each dialog ran
    Names expectedDefaultsSet;           // every change the program made
    std::u16string expectedFinalDefault;
    Names refused = {};           // attempts the spooler refuses (FakePrintServices::refusedDefaults)
    Names expectedMessages = {};  // what the user is told at the end
};

void PrintTo(const StartUpCase& c, std::ostream* os) { *os << c.name; }

class StartUpTest : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(StartUpTest, TriesSubstitutesAndHandsTheDefaultBack) {
    const StartUpCase& c = GetParam();
    test_support::FakePrintServices spooler;
    spooler.printers = c.printers;
    spooler.defaultPrinter = c.defaultPrinter;
    spooler.refusedDefaults = c.refused;
    ScriptedDialogs dialogs(spooler);
    dialogs.opensOn = c.opensOn;
    RecordedMessages messages;
    BuiltInEnglish strings;

    RunStartUp(spooler, dialogs, messages, strings);

    Names systemDefaults;
    for (const auto& run : dialogs.runs) {
        systemDefaults.push_back(run.systemDefault);
        EXPECT_EQ(run.defaultPrinter, c.defaultPrinter);
    }
    EXPECT_EQ(systemDefaults, c.expectedSystemDefaultsAtRuns);
    EXPECT_EQ(spooler.defaultsSet, c.expectedDefaultsSet);
    EXPECT_EQ(spooler.defaultPrinter, c.expectedFinalDefault);
    EXPECT_EQ(messages.shown, c.expectedMessages);
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
        // No substitute was made default, so there is nothing to hand back.
        StartUpCase{"EmptyListChangesNothing", {}, u"B", {}, {u"B"}, {}, u"B"},
        // "No default" cannot be set back: the empty name leaves the
        // substitute in place, and the user is told.
        StartUpCase{"NoDefaultPrinter",
                    {u"A"},
                    u"",
                    {u"A"},
                    {u"", u"A"},
                    {u"A", u"", u""},
                    u"A",
                    {},
                    {u"To open the print setup dialog box, IKWDev made a printer the default printer for a moment. "
                     u"There was no default printer before, and Windows cannot be set back to having none. Choose "
                     u"your default printer in Windows (Printers & scanners, or Devices and Printers).\ndefault "
                     u"printer error : there was no default printer when IKWDev started. A is now the default "
                     u"printer."}},
        // The dialog's own hand-back and the last try at the end both fail.
        StartUpCase{"DefaultRefusedIsReported",
                    {u"A", u"B"},
                    u"B",
                    {u"A"},
                    {u"B", u"A"},
                    {u"A", u"B", u"B"},
                    u"A",
                    {u"B", u"B"},
                    {u"To open the print setup dialog box, IKWDev made another printer the default printer for a "
                     u"moment, and could not make your printer the default again. Choose your default printer in "
                     u"Windows (Printers & scanners, or Devices and Printers).\ndefault printer error : B could not "
                     u"be made the default printer again. A is now the default printer."}},
        // The dialog's hand-back fails, the one at the end works.
        StartUpCase{"SecondHandBackWorks", {u"A", u"B"}, u"B", {u"A"}, {u"B", u"A"}, {u"A", u"B", u"B"}, u"B", {u"B"}},
        StartUpCase{"ExcludedDefaultUsesSubstitute", {kPdf, u"A"}, kPdf, {u"A"}, {u"A"}, {u"A", kPdf}, kPdf},
        // No substitute exists; the dialog is run once all the same.
        StartUpCase{"ExcludedDefaultAlone", {kPdf}, kPdf, {kPdf}, {kPdf}, {}, kPdf},
        // A substitute that does not open is followed by the next one.
        StartUpCase{"ExcludedDefaultTriesEverySubstitute",
                    {kPdf, u"A", u"B"},
                    kPdf,
                    {u"B"},
                    {u"A", u"B"},
                    {u"A", u"B", kPdf},
                    kPdf},
        // Never left on a substitute when no attempt opens.
        StartUpCase{"ExcludedDefaultNeverOpens", {kPdf, u"A", u"B"}, kPdf, {}, {u"A", u"B"}, {u"A", u"B", kPdf}, kPdf},
        StartUpCase{"ExclusionIsCaseSensitive",
                    {u"A"},
                    u"microsoft print to pdf",
                    {u"microsoft print to pdf"},
                    {u"microsoft print to pdf"},
                    {},
                    u"microsoft print to pdf"}),
    [](const ::testing::TestParamInfo<StartUpCase>& info) { return std::string(info.param.name); });

TEST(StartUp, ADefaultTheUserChoseMeanwhileIsLeftAlone) {
    test_support::FakePrintServices spooler;
    spooler.printers = {u"A", u"B", u"C"};
    spooler.defaultPrinter = u"B";
    spooler.refusedDefaults = {u"B"};  // the dialog's hand-back fails
    ScriptedDialogs dialogs(spooler);
    dialogs.opensOn = {u"A"};
    dialogs.userChoosesDefault = u"C";
    RecordedMessages messages;
    BuiltInEnglish strings;

    RunStartUp(spooler, dialogs, messages, strings);

    EXPECT_EQ(spooler.defaultPrinter, u"C");
    EXPECT_EQ(spooler.defaultsSet, (Names{u"A", u"B"}));
    EXPECT_TRUE(messages.shown.empty());
}

// The message is one template with the sentence about the default now filled
// in, in the order the interface language puts them.
TEST(StartUp, TheDefaultPrinterMessageIsComposedInTheInterfaceLanguage) {
    test_support::FakePrintServices spooler;
    spooler.printers = {u"A", u"B"};
    spooler.defaultPrinter = u"B";
    spooler.refusedDefaults = {u"B", u"B"};
    ScriptedDialogs dialogs(spooler);
    dialogs.opensOn = {u"A"};
    RecordedMessages messages;
    test_support::FakeStringTable strings;
    strings.table = {
        {IDS_DEFAULT_NOT_RESTORED, u"既定のプリンターのエラー : %1 を既定のプリンターに戻せませんでした。%2"},
        {IDS_NOW_DEFAULT, u"現在の既定のプリンターは %1 です。"}};

    RunStartUp(spooler, dialogs, messages, strings);

    EXPECT_EQ(
        messages.shown,
        Names{u"既定のプリンターのエラー : B を既定のプリンターに戻せませんでした。現在の既定のプリンターは A です。"});
}

TEST(StartUp, APrinterListThatCannotBeReadIsSaidWithTheSystemsReasonAndNoDialogOpens) {
    test_support::FakePrintServices spooler;
    spooler.listAllocationFails = true;
    spooler.defaultPrinter = u"A";
    ScriptedDialogs dialogs(spooler);
    RecordedMessages messages;
    BuiltInEnglish strings;
    RunStartUp(spooler, dialogs, messages, strings);
    EXPECT_TRUE(dialogs.runs.empty());
    EXPECT_TRUE(spooler.defaultsSet.empty());
    EXPECT_EQ(dialogs.destroyed, 0);
    EXPECT_EQ(messages.shown,
              Names{u"The list of printers could not be read, so the print setup dialog box was not opened. Check that "
                    u"the print spooler is running, then start IKWDev again.\nprinter list could not be read (The RPC "
                    u"server is unavailable.)"});
}

}  // namespace
}  // namespace ikw
