#include <gtest/gtest.h>

#include <map>
#include <string>

#include "devinfo/device_info_format.h"
#include "device_info_fixtures.h"
#include "fake_file_system.h"
#include "fake_print_services.h"
#include "tools/ikwdev-settings/settings.h"

namespace ikw::settings {
namespace {

using test_support::Bytes;
using test_support::MakeDeviceInfoFile;
using test_support::PutU16;
using test_support::PutU32;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

constexpr std::size_t kOrientation = 76;
constexpr std::size_t kDmDriverVersionOffset = 66;  // then dmSize, dmDriverExtra
constexpr std::uint32_t kDmOrientation = 0x1;

const std::u16string kOffice = u"Office";
const std::u16string kLabel = u"Label";
const std::u16string kLong = u"A printer whose name is longer than thirty-two units";

// A driver's record: the name cut to its field, 220 public bytes, 8 private
// ones, the orientation set.
Bytes Record(const std::u16string& printer, std::int16_t orientation) {
    Bytes record = test_support::MakeDevMode({printer.substr(0, 31), 32, 220, 8, 0, 120, 3, 1});
    PutU32(record, kDmFieldsOffset, kDmOrientation);
    PutU16(record, kOrientation, static_cast<std::uint16_t>(orientation));
    return record;
}

// Drivers, files and the spooler's two kinds of defaults in memory.
class FakeDevices : public DeviceInfoPlatform, public PrinterDefaults {
public:
    std::map<std::u16string, Bytes> drivers;  // each printer's current record; missing: no settings
    std::map<std::u16string, Bytes> inputFiles;
    std::map<std::u16string, Bytes> userPreferences, printerDefaults;  // levels 9 and 8
    std::optional<std::int16_t> driverForcesOrientation;
    std::optional<std::int16_t> spoolerStoresOrientation;  // a setting that does not take effect
    bool defaultsReadable = true;
    bool unreadableAfterSet = false;
    SetOutcome setOutcome = SetOutcome::Set;
    SetOutcome removeOutcome = SetOutcome::Set;
    bool removeKeepsPreferences = false;  // as Wine does: one record for both levels
    std::vector<std::string> set;         // "printer scope orientation" of every SetDefaults
    bool folderCanBeMade = true;
    int fileReads = 0;
    std::optional<Bytes> replacedAfterRead;  // what a file holds once it has been read

    std::u16string FullPathOf(const std::u16string& path) override {
        return path.rfind(u"C:\\", 0) == 0 ? path : u"C:\\work\\" + path;
    }
    std::optional<Bytes> ReadFile(const std::u16string& path, std::size_t maxBytes) override {
        ++fileReads;
        const auto found = inputFiles.find(path);
        if (found == inputFiles.end())
            return std::nullopt;
        const Bytes read(found->second.begin(), found->second.begin() + std::min(maxBytes, found->second.size()));
        if (replacedAfterRead)
            found->second = *replacedAfterRead;
        return read;
    }
    std::optional<Bytes> DriverRecordOf(const std::u16string& printer) override {
        const auto found = drivers.find(printer);
        return found == drivers.end() ? std::nullopt : std::optional<Bytes>(found->second);
    }
    // As a driver merges: its own record, with the public settings of the
    // input in it; its version, sizes and private part stay its own.
    std::optional<Bytes> MergeThroughDriver(const std::u16string& printer, const Bytes& record) override {
        Bytes merged = drivers.at(printer);
        const std::size_t publicEnd = std::min<std::size_t>(test_support::GetU16(merged, 68), record.size());
        for (std::size_t i = 0; i < publicEnd; ++i)
            if (i < kDmDriverVersionOffset || i >= kDmDriverVersionOffset + 6)
                merged[i] = record[i];
        if (driverForcesOrientation)
            PutU16(merged, kOrientation, static_cast<std::uint16_t>(*driverForcesOrientation));
        return merged;
    }
    SetOutcome SetDefaults(const std::u16string& printer, const Bytes& record, DefaultsScope scope) override {
        const bool allUsers = scope == DefaultsScope::AllUsers;
        set.push_back(Narrow(printer) + (allUsers ? " all " : " user ") +
                      std::to_string(test_support::GetU16(record, kOrientation)));
        if (setOutcome != SetOutcome::Set)
            return setOutcome;
        Bytes stored = record;
        if (spoolerStoresOrientation)
            PutU16(stored, kOrientation, static_cast<std::uint16_t>(*spoolerStoresOrientation));
        (allUsers ? printerDefaults : userPreferences)[printer] = stored;
        if (!allUsers || !userPreferences.count(printer))
            drivers[printer] = stored;
        defaultsReadable = !unreadableAfterSet;
        return setOutcome;
    }
    StoredDefaults ReadDefaults(const std::u16string& printer, DefaultsScope scope) override {
        if (!defaultsReadable)
            return {};
        const auto& level = scope == DefaultsScope::AllUsers ? printerDefaults : userPreferences;
        const auto found = level.find(printer);
        return {true, found == level.end() ? std::nullopt : std::optional<Bytes>(found->second)};
    }
    SetOutcome RemoveUserPreferences(const std::u16string& printer) override {
        if (removeOutcome == SetOutcome::Set && !removeKeepsPreferences)
            userPreferences.erase(printer);
        return removeOutcome;
    }
    bool MakeFolder(const std::u16string&) override { return folderCanBeMade; }
};

class SettingsToolTest : public ::testing::Test {
protected:
    SettingsToolTest() {
        spooler.printers = {kOffice, kLabel, kLong};
        spooler.defaultPrinter = kOffice;
        for (const std::u16string& printer : spooler.printers)
            devices.drivers[printer] = devices.printerDefaults[printer] = Record(printer, 1);
        files.folders.insert(u"C:\\work");
        files.folders.insert(u"C:\\work\\all");
        files.log = &fileLog;
    }

    ExitStatus Run(std::vector<std::u16string> args) {
        out.clear();
        err.clear();
        Platform platform{spooler,
                          devices,
                          files,
                          devices,
                          {[this](const std::string& text) -> std::optional<std::string> {
                               out += text;
                               return std::nullopt;
                           },
                           [this](const std::string& text) { err += text; }}};
        return settings::Run(args, platform);
    }

    // A file as the dialog would have saved it for the printer, in landscape.
    void PutFile(const std::u16string& path, const std::u16string& printer) {
        const Bytes record = Record(printer, 2);
        devices.inputFiles[path] = MakeDeviceInfoFile(record, 228, printer.size() > 31 ? &printer : nullptr);
    }

    test_support::FakePrintServices spooler;
    FakeDevices devices;
    test_support::FakeFiles files;
    test_support::Log fileLog;
    std::string out, err;
};

TEST(CaptureFileNamesTest, EveryPrinterGetsAFileOfItsOwnThatAFolderTakes) {
    const struct {
        const char* name;
        std::vector<std::u16string> printers;
        std::vector<std::u16string> files;
    } cases[] = {
        {"the save's suggestion", {u"Office", u"Label.Printer"}, {u"Office.dev", u"Label.dev"}},
        {"queues of two servers", {u"\\\\one\\laser", u"\\\\two\\laser"}, {u"laser.dev", u"laser (2).dev"}},
        {"names that differ in case only", {u"Laser", u"laser"}, {u"Laser.dev", u"laser (2).dev"}},
        {"names that differ in the case of letters beyond ASCII",
         {u"B\u00fcro.A", u"B\u00dcRO.B"},
         {u"B\u00fcro.dev", u"B\u00dcRO (2).dev"}},
        {"a connection and a local printer",
         {u"\\\\srv\\\u00c4rger", u"\u00e4rger"},
         {u"\u00c4rger.dev", u"\u00e4rger (2).dev"}},
        {"a numbered name that is taken",
         {u"Label.Printer", u"Label", u"Label (2).x"},
         {u"Label.dev", u"Label (2).dev", u"Label (2) (2).dev"}},
        {"characters a folder refuses", {u"a:b*c?d\"e<f>g|h\x01"}, {u"b_c_d_e_f_g_h_.dev"}},
        {"device names", {u"CON", u"lpt1.x", u"COM10"}, {u"_CON.dev", u"_lpt1.dev", u"COM10.dev"}},
        {"device names before a dot, after spaces, or with a superscript",
         {u"NUL.Floor.2", u"LPT1.HP.x", u"AUX .a.b", u"CONIN$", u"COM\u00b9"},
         {u"_NUL.Floor.dev", u"_LPT1.HP.dev", u"_AUX .a.dev", u"_CONIN$.dev", u"_COM\u00b9.dev"}},
        {"ends Windows drops, and no suggestion at all",
         {u"Wide. .x", std::u16string(300, u'w')},
         {u"Wide.dev", u"printer.dev"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CaptureFileNames(c.printers, test_support::FakePrintServices()), c.files);
    }
}

TEST_F(SettingsToolTest, CaptureWritesTheDriversRecordWithTheFullNameThroughTheSafeReplace) {
    for (const std::u16string& printer : {kOffice, kLong}) {
        SCOPED_TRACE(Narrow(printer));
        ASSERT_EQ(Run({u"capture", printer, u"one.dev"}), ExitStatus::Done) << err;
        const Bytes& driver = devices.drivers[printer];
        EXPECT_EQ(files.files[u"C:\\work\\one.dev"],
                  MakeDeviceInfoFile(driver, 228, printer.size() > 31 ? &printer : nullptr));
        EXPECT_EQ(fileLog.back(), "replace C:\\work\\one.dev < C:\\work\\~one.dev.tmp");
        EXPECT_EQ(out, "written: \"" + Narrow(printer) +
                           "\" -> C:\\work\\one.dev (from the printer's printing defaults, shared by every user)\n");
    }
    EXPECT_TRUE(spooler.defaultsSet.empty());
}

TEST_F(SettingsToolTest, ACaptureThatCannotBeMadeWritesNothingAndSaysWhy) {
    devices.drivers.erase(kLabel);
    const std::u16string longPath = u"C:\\work\\" + std::u16string(260, u'p') + u".dev";
    const struct {
        const char* name;
        std::vector<std::u16string> args;
        std::string message;
    } cases[] = {
        {"not installed", {u"capture", u"Nobody", u"x.dev"}, "printer not installed (Nobody)"},
        {"no settings", {u"capture", kLabel, u"x.dev"}, "the printer's driver gave no settings (Label)"},
        {"path too long", {u"capture", kOffice, longPath}, "path too long (259 characters at most) :C:\\work\\ppp"},
        {"folder missing", {u"capture", kOffice, u"C:\\nowhere\\x.dev"}, "open error :C:\\nowhere\\x.dev"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.args), ExitStatus::SomeFailed);
        EXPECT_NE(err.find("ikwdev-settings: " + c.message), std::string::npos) << err;
        EXPECT_EQ(out.rfind("not written: ", 0), 0u) << out;
    }
    EXPECT_TRUE(files.files.empty());
}

TEST_F(SettingsToolTest, CaptureAllGoesOnPastAPrinterThatFailsAndSaysSoInItsStatus) {
    devices.drivers.erase(kLabel);
    EXPECT_EQ(Run({u"capture", u"--all", u"all"}), ExitStatus::SomeFailed);
    EXPECT_EQ(files.files.count(u"C:\\work\\all\\Office.dev"), 1u);
    EXPECT_EQ(files.files.count(u"C:\\work\\all\\A printer whose name is longer than thirty-two units.dev"), 1u);
    EXPECT_NE(out.find("not written: \"Label\" -> C:\\work\\all\\Label.dev: the printer's driver gave no settings"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("2 of 3 printers captured to C:\\work\\all\\\n"), std::string::npos) << out;

    devices.drivers[kLabel] = Record(kLabel, 1);
    EXPECT_EQ(Run({u"capture", u"--all", u"--json", u"all"}), ExitStatus::Done);
    EXPECT_EQ(out.rfind("{\"folder\":\"C:\\\\work\\\\all\\\\\",\"written\":3,\"failed\":0,\"printers\":[", 0), 0u)
        << out;

    devices.folderCanBeMade = false;
    EXPECT_EQ(Run({u"capture", u"--all", u"all"}), ExitStatus::SomeFailed);
    EXPECT_NE(err.find("the folder cannot be made :C:\\work\\all"), std::string::npos) << err;
}

TEST_F(SettingsToolTest, ApplySetsTheMergedRecordForTheScopeAndNeverTheDefaultPrinter) {
    PutFile(u"office.dev", kOffice);
    const struct {
        const char* name;
        std::vector<std::u16string> args;
        std::string set;
    } cases[] = {
        {"the file's printer, this user", {u"apply", u"office.dev"}, "Office user 2"},
        {"another printer, every user", {u"apply", u"--all-users", u"--printer", kLabel, u"office.dev"}, "Label all 2"},
        {"--printer=", {u"apply", u"--printer=Label", u"office.dev"}, "Label user 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        devices.set.clear();
        EXPECT_EQ(Run(c.args), ExitStatus::Done) << err;
        EXPECT_EQ(devices.set, std::vector<std::string>{c.set});
        EXPECT_EQ(out.rfind("applied: office.dev -> ", 0), 0u) << out;
    }
    EXPECT_TRUE(spooler.defaultsSet.empty());
    EXPECT_EQ(spooler.defaultPrinter, kOffice);
}

// What is compared and set is the file as the open read it: another program
// replacing the file meanwhile changes nothing of it.
TEST_F(SettingsToolTest, ApplyReadsTheFileOnce) {
    PutFile(u"office.dev", kOffice);
    devices.replacedAfterRead = Bytes{1, 2, 3};
    EXPECT_EQ(Run({u"apply", u"office.dev"}), ExitStatus::Done) << err;
    EXPECT_EQ(devices.fileReads, 1);
    EXPECT_EQ(devices.set, std::vector<std::string>{"Office user 2"});
}

TEST_F(SettingsToolTest, ApplyReportsWhatTheDriverDidNotKeep) {
    PutFile(u"office.dev", kOffice);
    devices.driverForcesOrientation = 1;
    EXPECT_EQ(Run({u"apply", u"office.dev"}), ExitStatus::Done);
    EXPECT_NE(out.find("not applied, as the printer's driver cannot hold 1 setting as the file has them (file -> "
                       "driver):\n"
                       "  orientation (dmOrientation): 2 (landscape) -> 1 (portrait)\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(Run({u"apply", u"--json", u"office.dev"}), ExitStatus::Done);
    EXPECT_NE(out.find("\"notKept\":[{\"field\":\"dmOrientation\",\"label\":\"orientation\",\"a\":2,\"b\":1}]"),
              std::string::npos)
        << out;
}

TEST_F(SettingsToolTest, DryRunComparesThePrintersSettingsWithTheFileAndChangesNothing) {
    PutFile(u"office.dev", kOffice);
    EXPECT_EQ(Run({u"apply", u"--dry-run", u"office.dev"}), ExitStatus::Done);
    EXPECT_EQ(out,
              "dry run: office.dev would change 1 setting of \"Office\" (the printer's printing defaults, shared by "
              "every user):\n"
              "  orientation (dmOrientation): 1 (portrait) -> 2 (landscape)\n");
    EXPECT_TRUE(devices.set.empty());

    // Applied, the same file leaves nothing to change.
    EXPECT_EQ(Run({u"apply", u"office.dev"}), ExitStatus::Done);
    EXPECT_EQ(Run({u"apply", u"--dry-run", u"--json", u"office.dev"}), ExitStatus::Done);
    EXPECT_NE(out.find("\"dryRun\":true,\"applied\":false,\"changes\":[]"), std::string::npos) << out;
}

TEST_F(SettingsToolTest, AnApplyThatCannotBeDoneChangesNothingAndSaysWhy) {
    PutFile(u"office.dev", kOffice);
    PutFile(u"gone.dev", u"Gone");
    devices.inputFiles[u"short.dev"] = {1, 2, 3};
    const struct {
        const char* name;
        std::vector<std::u16string> args;
        SetOutcome outcome;
        std::string message;
    } cases[] = {
        {"no rights for every user",
         {u"apply", u"--all-users", u"office.dev"},
         SetOutcome::AccessDenied,
         "setting every user's defaults needs the right to manage the printer"},
        {"the spooler refuses", {u"apply", u"office.dev"}, SetOutcome::Failed, "the spooler refused the settings"},
        {"printer not installed", {u"apply", u"gone.dev"}, SetOutcome::Set, "printer not installed (Gone) :gone.dev"},
        {"not a device info file", {u"apply", u"short.dev"}, SetOutcome::Set, "not a device info file"},
        {"no such file", {u"apply", u"none.dev"}, SetOutcome::Set, "open error :none.dev"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        devices.setOutcome = c.outcome;
        EXPECT_EQ(Run(c.args), ExitStatus::SomeFailed);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(devices.drivers[kOffice], Record(kOffice, 1));
    }
}

// A spooler that cannot list its printers is no spooler without printers: no
// command may report success, or a printer missing that is there.
TEST_F(SettingsToolTest, APrinterListThatCannotBeReadFailsEveryCommandWithTheSystemsReason) {
    PutFile(u"office.dev", kOffice);
    spooler.listAllocationFails = true;
    const struct {
        const char* name;
        std::vector<std::u16string> args;
        std::string message;
    } cases[] = {
        {"capture --all",
         {u"capture", u"--all", u"all"},
         "the printer list could not be read (The RPC server is unavailable.)"},
        {"capture",
         {u"capture", kOffice, u"x.dev"},
         "the printer list could not be read (The RPC server is unavailable.)"},
        {"apply",
         {u"apply", u"office.dev"},
         "printer list could not be read (The RPC server is unavailable.) :office.dev"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.args), ExitStatus::SomeFailed);
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(err.find("not installed"), std::string::npos) << err;
        EXPECT_EQ(out.find("captured"), std::string::npos) << out;
    }
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(devices.set.empty());
}

TEST_F(SettingsToolTest, ApplyReadsBackAndNamesWhatDidNotTakeEffect) {
    PutFile(u"office.dev", kOffice);
    devices.spoolerStoresOrientation = 1;
    EXPECT_EQ(Run({u"apply", u"office.dev"}), ExitStatus::SomeFailed);
    EXPECT_EQ(out,
              "not applied: 1 setting of office.dev did not take effect on \"Office\" (this user's printing "
              "preferences; set -> read back):\n"
              "  orientation (dmOrientation): 2 (landscape) -> 1 (portrait)\n");
    EXPECT_EQ(err, "ikwdev-settings: some settings did not take effect (Office) :office.dev: orientation\n");
    EXPECT_EQ(Run({u"apply", u"--json", u"office.dev"}), ExitStatus::SomeFailed);
    EXPECT_NE(out.find("\"applied\":false,\"changes\":null,\"notTakenEffect\":[{\"field\":\"dmOrientation\""),
              std::string::npos)
        << out;

    // Set, but not readable afterwards: no proof, so no "applied".
    devices.spoolerStoresOrientation.reset();
    devices.unreadableAfterSet = true;
    EXPECT_EQ(Run({u"apply", u"office.dev"}), ExitStatus::SomeFailed);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("could not be read back to prove they took effect (Office)"), std::string::npos) << err;

    devices.unreadableAfterSet = false;
    devices.defaultsReadable = true;
    EXPECT_EQ(Run({u"apply", u"office.dev"}), ExitStatus::Done) << err;
    EXPECT_EQ(out, "applied: office.dev -> \"Office\" (this user's printing preferences), read back unchanged\n");
}

TEST_F(SettingsToolTest, TheScopeChoosesWhichDefaultsAreComparedAndSet) {
    PutFile(u"office.dev", kOffice);
    devices.userPreferences[kOffice] = Record(kOffice, 2);  // this user's: landscape, as the file
    const struct {
        const char* name;
        std::vector<std::u16string> args;
        ExitStatus status;
        std::string lastLine;
    } cases[] = {
        {"check: this user's preferences win",
         {u"check", u"office.dev"},
         ExitStatus::Same,
         "matches: \"Office\" (this user's printing preferences) holds the settings of office.dev"},
        {"check --all-users: the printer's printing defaults",
         {u"check", u"--all-users", u"office.dev"},
         ExitStatus::Different,
         "differs: 1 setting of \"Office\" (the printer's printing defaults, shared by every user) differ from "
         "office.dev: orientation"},
        {"dry run: this user's preferences",
         {u"apply", u"--dry-run", u"office.dev"},
         ExitStatus::Done,
         "dry run: \"Office\" already holds the settings of office.dev (this user's printing preferences)"},
        {"dry run --all-users: the printer's printing defaults",
         {u"apply", u"--dry-run", u"--all-users", u"office.dev"},
         ExitStatus::Done,
         "note: this user has printing preferences of their own for \"Office\", which this user's programs start "
         "from instead; ikwdev-settings reset removes them"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.args), c.status);
        EXPECT_EQ(err, "");
        ASSERT_GE(out.size(), c.lastLine.size() + 1);
        EXPECT_EQ(out.substr(out.size() - c.lastLine.size() - 1), c.lastLine + "\n") << out;
    }
    EXPECT_TRUE(devices.set.empty());

    EXPECT_EQ(Run({u"apply", u"--all-users", u"--json", u"office.dev"}), ExitStatus::Done) << err;
    EXPECT_EQ(devices.set, std::vector<std::string>{"Office all 2"});
    EXPECT_NE(out.find("\"scope\":\"all-users\",\"userPreferences\":true"), std::string::npos) << out;
    EXPECT_EQ(devices.printerDefaults[kOffice], Record(kOffice, 2));
}

TEST_F(SettingsToolTest, CheckAnswersOnStandardOutputAndEndsWithOneSummaryLine) {
    PutFile(u"office.dev", kOffice);
    const std::u16string longName = u"C:\\" + std::u16string(3000, u'n') + u".dev";
    PutFile(longName, kOffice);
    EXPECT_EQ(Run({u"check", u"office.dev"}), ExitStatus::Different);
    EXPECT_EQ(out,
              "\"Office\" (the printer's printing defaults, shared by every user) -> office.dev:\n"
              "  orientation (dmOrientation): 1 (portrait) -> 2 (landscape)\n"
              "differs: 1 setting of \"Office\" (the printer's printing defaults, shared by every user) differ from "
              "office.dev: orientation\n");
    EXPECT_EQ(err, "");

    EXPECT_EQ(Run({u"check", longName}), ExitStatus::Different);
    const std::string last = out.substr(out.rfind('\n', out.size() - 2) + 1);
    EXPECT_LT(last.size(), 2048u);
    EXPECT_EQ(last.rfind("differs: ", 0), 0u);

    EXPECT_EQ(Run({u"check", u"none.dev"}), ExitStatus::NotCompared);
    EXPECT_EQ(out, "not checked: open error :none.dev\n");
    EXPECT_EQ(err, "ikwdev-settings: open error :none.dev\n");

    devices.defaultsReadable = false;
    EXPECT_EQ(Run({u"check", u"--json", u"office.dev"}), ExitStatus::NotCompared);
    EXPECT_NE(out.find("\"matches\":null,\"differences\":null"), std::string::npos) << out;
    EXPECT_NE(err.find("the printer's defaults could not be read (Office)"), std::string::npos) << err;

    devices.defaultsReadable = true;
    EXPECT_EQ(Run({u"apply", u"office.dev"}), ExitStatus::Done) << err;
    EXPECT_EQ(Run({u"check", u"--json", u"office.dev"}), ExitStatus::Same);
    EXPECT_NE(out.find("\"userPreferences\":true,\"compared\":\"user-preferences\",\"matches\":true"),
              std::string::npos)
        << out;
}

TEST_F(SettingsToolTest, WhatTheDriverCannotHoldIsNotADifferenceAndTheNotesAreTheToolsOwn) {
    // The file's private part comes from another driver version: it is reset,
    // and the driver keeps portrait whatever the file says.
    Bytes record = Record(kOffice, 2);
    PutU16(record, kDmDriverVersionOffset, 7);
    devices.inputFiles[u"office.dev"] = MakeDeviceInfoFile(record, 228, nullptr);
    devices.driverForcesOrientation = 1;
    EXPECT_EQ(Run({u"check", u"office.dev"}), ExitStatus::Same);
    EXPECT_EQ(out.substr(out.find("not compared")),
              "not compared, as the printer's driver cannot hold 2 settings as the file has them (file -> driver):\n"
              "  driver version (dmDriverVersion): 7 -> 0\n"
              "  orientation (dmOrientation): 2 (landscape) -> 1 (portrait)\n"
              "matches: \"Office\" (the printer's printing defaults, shared by every user) holds the settings of "
              "office.dev\n");
    // The open's notes, in the tool's words, go with the answer; standard
    // error stays empty.
    EXPECT_EQ(out.rfind("note: Some settings of the file cannot be used with this printer's driver", 0), 0u) << out;
    EXPECT_NE(out.find("\n  Applying the file again does not bring them back.\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("before you save"), std::string::npos) << out;
    EXPECT_EQ(out.find("Saving writes"), std::string::npos) << out;
    EXPECT_EQ(err, "");
    EXPECT_EQ(Run({u"apply", u"--dry-run", u"office.dev"}), ExitStatus::Done);
    EXPECT_NE(err.find("ikwdev-settings: Some settings of the file cannot be used"), std::string::npos) << err;
}

TEST_F(SettingsToolTest, ResetRemovesThisUsersPreferencesOnlyWhenItCanProveIt) {
    const struct {
        const char* name;
        bool hasPreferences;
        SetOutcome outcome;
        bool keeps;
        ExitStatus status;
        std::string said;  // on standard output, or else on standard error
        bool preferencesAfter;
    } cases[] = {
        {"removed", true, SetOutcome::Set, false, ExitStatus::Done,
         "reset: this user's printing preferences for \"Office\" were removed; this user now starts from the "
         "printer's printing defaults\n",
         false},
        {"none to remove", false, SetOutcome::Set, false, ExitStatus::Done,
         "reset: this user has no printing preferences for \"Office\"; this user already starts from the printer's "
         "printing defaults\n",
         false},
        {"no permission", true, SetOutcome::AccessDenied, false, ExitStatus::SomeFailed,
         "ikwdev-settings: removing this user's printing preferences was refused for want of permission; nothing "
         "was changed (Office)\n",
         true},
        {"the spooler keeps them", true, SetOutcome::Set, true, ExitStatus::SomeFailed,
         "ikwdev-settings: the spooler still holds this user's printing preferences after removing them (Office)\n",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        devices.userPreferences.clear();
        if (c.hasPreferences)
            devices.userPreferences[kOffice] = Record(kOffice, 2);
        devices.removeOutcome = c.outcome;
        devices.removeKeepsPreferences = c.keeps;
        EXPECT_EQ(Run({u"reset", u"office"}), c.status);
        EXPECT_EQ(c.status == ExitStatus::Done ? out : err, c.said);
        EXPECT_EQ(devices.userPreferences.count(kOffice) == 1, c.preferencesAfter);
    }
    EXPECT_EQ(Run({u"reset", u"Nobody"}), ExitStatus::SomeFailed);
    EXPECT_EQ(err, "ikwdev-settings: printer not installed (Nobody)\n");
    EXPECT_EQ(devices.printerDefaults[kOffice], Record(kOffice, 1));
}

TEST_F(SettingsToolTest, CaptureSaysWhichDefaultsItRead) {
    devices.userPreferences[kOffice] = Record(kOffice, 1);
    EXPECT_EQ(Run({u"capture", kOffice, u"one.dev"}), ExitStatus::Done);
    EXPECT_EQ(out, "written: \"Office\" -> C:\\work\\one.dev (from this user's printing preferences)\n");
    EXPECT_EQ(Run({u"capture", u"--json", kLabel, u"one.dev"}), ExitStatus::Done);
    EXPECT_NE(out.find("\"userPreferences\":false,\"defaults\":\"printer-defaults\""), std::string::npos) << out;
}

TEST_F(SettingsToolTest, WrongUsageShowsTheUsageAndEndsWith2) {
    const std::vector<std::vector<std::u16string>> cases = {
        {},
        {u"remove"},
        {u"capture", kOffice},
        {u"capture", u"--all"},
        {u"capture", u"--dry-run", kOffice, u"x.dev"},
        {u"apply"},
        {u"apply", u"a.dev", u"b.dev"},
        {u"apply", u"--all", u"a.dev"},
        {u"apply", u"a.dev", u"--printer"},
        {u"apply", u"--printer=", u"a.dev"},
        {u"check"},
        {u"check", u"--dry-run", u"a.dev"},
        {u"reset"},
        {u"reset", u"--all-users", kOffice},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.empty() ? "" : Narrow(args.back()));
        EXPECT_EQ(Run(args), ExitStatus::WrongUsage);
        EXPECT_NE(err.find("\nusage: ikwdev-settings capture"), std::string::npos) << err;
        EXPECT_EQ(out, "");
    }
    EXPECT_EQ(Run({u"apply", u"--help"}), ExitStatus::Done);
    EXPECT_EQ(out, Usage());
}

}  // namespace
}  // namespace ikw::settings
