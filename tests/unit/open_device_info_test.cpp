#include <gtest/gtest.h>

#include <map>

#include "app/command_line.h"
#include "app/run_program.h"
#include "devinfo/device_info_format.h"
#include "devinfo/message_texts.h"
#include "device_info_fixtures.h"
#include "fake_string_table.h"
#include "fake_print_services.h"

namespace ikw {
namespace {

using test_support::Bytes;
using test_support::GetU16;
using test_support::PutU16;
using Names = std::vector<std::u16string>;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

constexpr std::uint16_t kDriverVersion = 0x0600;

// A settings record as a driver makes it: the name cut to 31 units, the
// driver's version, landscape A4 vouched for in dmFields, and a patterned
// private part.
Bytes Record(const std::u16string& name, std::uint16_t dmSize = 220, std::uint16_t dmDriverExtra = 16,
             std::uint16_t driverVersion = kDriverVersion) {
    Bytes record = test_support::MakeDevMode({name, 31, dmSize, dmDriverExtra, 0, dmSize, 13, 5});
    PutU16(record, 66, driverVersion);
    if (dmSize >= kDmFieldsEnd) {
        PutU16(record, kDmFieldsOffset, 0x0003);  // DM_ORIENTATION | DM_PAPERSIZE
        PutU16(record, 76, 2);
        PutU16(record, 78, 9);
    }
    return record;
}

// The file a save writes for the record, written by hand: the full name
// follows only when the record's 31 units could not hold it.
Bytes DeviceInfoFile(const Bytes& record, const std::u16string& fullName) {
    const bool tail = fullName.size() > 31;
    return test_support::MakeDeviceInfoFile(record, static_cast<std::uint32_t>(record.size()), tail ? &fullName : nullptr);
}

// The messages as an English interface shows them.
std::u16string NotDeviceInfo(const std::u16string& reason, const std::u16string& file) {
    return u"This file is not a device info file, or it is damaged, so it was not opened. Nothing was changed.\n"
           u"not a device info file (" +
           reason + u") :" + file;
}
std::u16string NotInstalled(const std::u16string& printer, const std::u16string& file) {
    return u"This file holds settings for a printer that is not installed on this computer, so it was not opened. "
           u"Install that printer, or open a file saved for an installed one.\nprinter not installed (" +
           printer + u") :" + file;
}
// The line the program adds when the usual start that follows opens the
// dialog on the default printer.
const std::string kOpensOnDefault = "\nThe print setup dialog box now opens on the default printer instead.";
const std::string kDriverRefused =
    "message The printer's driver did not accept the settings in this file, so it was not opened. Nothing was "
    "changed.\nsettings refused by the printer's driver (Office_Laser) :office.dev" +
    kOpensOnDefault;

const std::u16string kOffice = u"Office_Laser";
const std::u16string kServerQueue = u"\\\\print-01\\Floor 2";
const std::u16string kLong = u"Accounting_department_colour_laser_2nd_floor";  // 44 units: the record cuts it

TEST(ParseCommandLine, OneArgumentOfAnyShapeIsTheFileAndMoreIsWrongUsage) {
    using R = CommandLine::Request;
    const struct {
        Names args;
        R request;
        std::u16string file;
    } cases[] = {
        {{}, R::UsualStart, u""},
        {{u"C:\\settings\\office.dev"}, R::OpenFile, u"C:\\settings\\office.dev"},
        {{u"-x.dev"}, R::OpenFile, u"-x.dev"},
        {{u"/?"}, R::OpenFile, u"/?"},
        {{u""}, R::OpenFile, u""},
        {{u"a.dev", u"b.dev"}, R::WrongUsage, u""},
        {{u"a.dev", u"b.dev", u"c.dev"}, R::WrongUsage, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.size());
        const CommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.request, c.request);
        EXPECT_EQ(Narrow(parsed.file), Narrow(c.file));
    }
}

TEST(DecideOpen, ChoosesThePrinterTheFileNamesOrSaysWhyNot) {
    const Bytes office = DeviceInfoFile(Record(kOffice), kOffice);
    const Bytes longName = DeviceInfoFile(Record(kLong), kLong);
    Bytes cutShort = office;
    cutShort.pop_back();
    // The largest file the format allows: both sizes at their 16-bit limit
    // and a full name of the longest length its 16-bit size can carry.
    const std::u16string longest(32766, u'L');
    const Bytes largest = DeviceInfoFile(Record(longest, 65535, 65535), longest);
    ASSERT_EQ(largest.size(), kMaxDeviceInfoFileSize);
    const Names installed = {u"Label.Printer", kOffice, kLong, kServerQueue, longest};
    const std::u16string file = u"C:\\s\\x.dev";
    const struct {
        const char* name;
        std::optional<Bytes> contents;
        std::u16string printer;  // empty: nothing is opened
        std::u16string message;  // when nothing is opened
    } cases[] = {
        {"name from the record", office, kOffice, u""},
        {"full name from the tail", longName, kLong, u""},
        {"not installed", DeviceInfoFile(Record(u"Gone"), u"Gone"), u"", NotInstalled(u"Gone", file)},
        // The spooler ignores case: the installed spelling is the printer.
        {"name in another case", DeviceInfoFile(Record(u"office_laser"), u"office_laser"), kOffice, u""},
        {"a connection to a print server", DeviceInfoFile(Record(kServerQueue), kServerQueue), kServerQueue, u""},
        {"the largest file the format allows", largest, longest, u""},
        {"unreadable", std::nullopt, u"", u"open error :C:\\s\\x.dev"},
        {"damaged", cutShort, u"",
         NotDeviceInfo(u"file is shorter than its header says: DevModeSize 236 needs 240 bytes, the file has 239 bytes",
                       file)},
        {"empty", Bytes{}, u"",
         NotDeviceInfo(u"file ends inside DevModeSize, which takes 4 bytes; the file has 0 bytes", file)},
        {"too long", Bytes(kMaxDeviceInfoFileSize + 1, 0), u"",
         NotDeviceInfo(u"longer than any device info file can be", file)},
        {"no name at all", DeviceInfoFile(Record(u""), u""), u"", NotDeviceInfo(u"it names no printer", file)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::FakePrintServices names;
        BuiltInEnglish strings;
        const OpenDecision decision = DecideOpen(file, c.contents, installed, names, strings);
        if (c.printer.empty()) {
            EXPECT_FALSE(decision.open);
            EXPECT_EQ(Narrow(decision.message), Narrow(c.message));
            continue;
        }
        ASSERT_TRUE(decision.open);
        EXPECT_EQ(Narrow(decision.open->printer), Narrow(c.printer));
        EXPECT_EQ(Narrow(decision.open->file), Narrow(file));
        const std::size_t recordSize = c.contents->size() == kMaxDeviceInfoFileSize ? 131070 : 236;
        EXPECT_EQ(decision.open->record, Bytes(c.contents->begin() + 4, c.contents->begin() + 4 + recordSize));
    }
}

TEST(FitRecordToDriver, KeepsWhatTheDriverCanReadAndThePrivatePartOnlyFromTheSameDriver) {
    const Bytes record = Record(kOffice, 220, 16);
    const struct {
        const char* name;
        Bytes driver;  // the driver's own record
        std::uint16_t dmSize, dmDriverExtra;
        bool keepsPrivate;
    } cases[] = {
        {"the same driver", Record(kOffice, 220, 16), 220, 16, true},
        {"the same driver, the name in another case", Record(u"OFFICE_LASER", 220, 16), 220, 16, true},
        {"another private size", Record(kOffice, 220, 24), 220, 0, false},
        {"a driver without a private part", Record(kOffice, 220, 0), 220, 0, false},
        // A private part of the right size is still another layout.
        {"another driver version", Record(kOffice, 220, 16, 0x0601), 220, 0, false},
        {"another printer's driver", Record(u"Label.Printer", 220, 16), 220, 0, false},
        // An older driver's shorter public part; the private part still fits.
        {"shorter public part", Record(kOffice, 156, 16), 156, 16, true},
        {"longer public part", Record(kOffice, 232, 16), 220, 16, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::FakePrintServices names;
        const FittedRecord fit = FitRecordToDriver(record, c.driver, names);
        const Bytes& fitted = fit.record;
        ASSERT_EQ(fitted.size(), std::size_t{c.dmSize} + c.dmDriverExtra);
        EXPECT_EQ(GetU16(fitted, kDmSizeOffset), c.dmSize);
        EXPECT_EQ(GetU16(fitted, kDmDriverExtraOffset), c.dmDriverExtra);
        EXPECT_TRUE(std::equal(fitted.begin(), fitted.begin() + 64, c.driver.begin())) << "the driver's own name";
        EXPECT_TRUE(std::equal(fitted.begin() + kDmDriverExtraOffset + 2, fitted.begin() + c.dmSize,
                               record.begin() + kDmDriverExtraOffset + 2));
        EXPECT_EQ(fit.privateReset, !c.keepsPrivate);
        if (c.keepsPrivate) {
            EXPECT_TRUE(std::equal(fitted.begin() + c.dmSize, fitted.end(), record.begin() + 220));
        }
        EXPECT_EQ(fit.fieldsKept, 0x0003u);
        EXPECT_EQ(fit.fieldsDropped, 0u);
    }
}

TEST(FitRecordToDriver, ACutPublicPartVouchesForNoFieldItLost) {
    Bytes record = Record(kOffice, 220, 0);
    PutU16(record, kDmFieldsOffset + 2, 0x0201);  // DM_FORMNAME | DM_MEDIATYPE
    // dmFormName ends at 166 and dmMediaType at 200: a cut to 120 loses both.
    test_support::FakePrintServices names;
    const FittedRecord fit = FitRecordToDriver(record, Record(kOffice, 120, 0), names);
    EXPECT_EQ(GetU16(fit.record, kDmFieldsOffset), 0x0003);
    EXPECT_EQ(GetU16(fit.record, kDmFieldsOffset + 2), 0x0000);
    EXPECT_EQ(fit.fieldsDropped, 0x02010000u);
    const Bytes file = DeviceInfoFile(fit.record, kOffice);
    EXPECT_FALSE(DecodeDeviceInfo(file.data(), file.size()).error);
}

TEST(FitRecordToDriver, ARecordThatEndsBeforeDmFieldsVouchesForNothing) {
    // dmSize 72 and a private part of the driver's own size: the first four
    // private bytes lie where dmFields would be, and must not be taken for it.
    Bytes record = Record(kOffice, 72, 16);
    std::fill(record.begin() + 72, record.begin() + 76, 0xFF);
    test_support::FakePrintServices names;
    const FittedRecord fit = FitRecordToDriver(record, Record(kOffice, 72, 16), names);
    ASSERT_EQ(GetU16(fit.record, kDmSizeOffset), kDmFieldsEnd);
    EXPECT_EQ(GetU16(fit.record, kDmFieldsOffset), 0u);
    EXPECT_EQ(GetU16(fit.record, kDmFieldsOffset + 2), 0u);
    EXPECT_TRUE(fit.noFieldList);
    EXPECT_EQ(fit.fieldsKept, 0u);
    ASSERT_EQ(fit.record.size(), kDmFieldsEnd + 16);
    EXPECT_TRUE(std::equal(fit.record.begin() + kDmFieldsEnd, fit.record.end(), record.begin() + 72));
}

TEST(FittingLossMessage, IsOneLineASentenceWithTheSettingsNamedInTheInterfaceLanguage) {
    test_support::FakeStringTable japanese;
    japanese.table = {{IDS_SETTINGS_RESET, u"リセットされました (%1) :%2"},
                      {IDS_FIELDS_DROPPED, u"入らなかった設定: %1"},
                      {IDS_FIELDS_KEPT, u"引き継いだ設定: %1"},
                      {IDS_SAVING_AFTER_RESET, u"上書きしてください。"},
                      {IDS_LIST_SEPARATOR, u"、"},
                      {IDS_SETTING_ORIENTATION, u"印刷の向き"},
                      {IDS_SETTING_PAPER, u"用紙サイズ"},
                      {IDS_SETTING_FORM_NAME, u"用紙名"}};
    FittedRecord fitted;
    EXPECT_EQ(FittingLossMessage(fitted, kOffice, u"x.dev", japanese), u"") << "nothing lost, nothing told";

    fitted.fieldsDropped = kDmFormNameBit | 0x02000000;  // DM_MEDIATYPE: a rarer one, with its own name too
    fitted.fieldsKept = 0x0003;
    japanese.table[IDS_SETTING_PAPER_TYPE] = u"用紙の種類";
    EXPECT_EQ(FittingLossMessage(fitted, kOffice, u"C:\\%1.dev", japanese),
              u"リセットされました (Office_Laser) :C:\\%1.dev\n入らなかった設定: 用紙名、用紙の種類\n"
              u"引き継いだ設定: 印刷の向き、用紙サイズ\n上書きしてください。");
}

// The platform for an open, with the files, the drivers and the dialog in
// memory, and one log of what the program did, in order.
class FakeOpenPlatform : public DeviceInfoPlatform, public OpenedFileDialogHost, public MessageBoxes {
public:
    explicit FakeOpenPlatform(test_support::FakePrintServices& spooler) : m_spooler(spooler) {}
    std::map<std::u16string, Bytes> files;
    struct Driver {
        std::uint16_t dmSize, dmDriverExtra, version = kDriverVersion;
    };
    std::map<std::u16string, Driver> drivers;  // a printer missing here gives no settings
    bool driverRefuses = false;
    bool fileDialogOpens = true;
    std::vector<std::string> log;
    std::optional<OpenedDeviceInfo> openedWith;

    std::u16string FullPathOf(const std::u16string& path) override { return u"C:\\dev\\" + path; }
    std::optional<Bytes> ReadFile(const std::u16string& path, std::size_t maxBytes) override {
        const auto found = files.find(path);
        if (found == files.end())
            return std::nullopt;
        Bytes bytes = found->second;
        bytes.resize(std::min(bytes.size(), maxBytes));
        return bytes;
    }
    std::optional<Bytes> DriverRecordOf(const std::u16string& printer) override {
        const auto found = drivers.find(printer);
        if (found == drivers.end())
            return std::nullopt;
        return Record(printer, found->second.dmSize, found->second.dmDriverExtra, found->second.version);
    }
    // The driver takes the record and marks it as checked.
    std::optional<Bytes> MergeThroughDriver(const std::u16string& printer, const Bytes& record) override {
        log.push_back("merge " + Narrow(printer) + " " + std::to_string(record.size()));
        if (driverRefuses)
            return std::nullopt;
        Bytes merged = record;
        merged[64] = 0xCC;
        return merged;
    }
    void ShowMessage(const std::u16string& text, MessageIcon) override { log.push_back("message " + Narrow(text)); }
    bool RunSetupDialogWith(const OpenedDeviceInfo& opened) override {
        log.push_back("dialog with " + Narrow(opened.file) + " on " + Narrow(opened.printer) + " (default " +
                      Narrow(m_spooler.defaultPrinter) + ")");
        openedWith = opened;
        return fileDialogOpens;
    }
    bool RunSetupDialog(const std::u16string& defaultPrinter, const std::u16string& substitute) override {
        log.push_back("usual dialog " + Narrow(defaultPrinter) + "/" + Narrow(substitute));
        return true;
    }
    void DestroySetupDialog() override { log.push_back("destroy"); }

private:
    test_support::FakePrintServices& m_spooler;
};

class RunProgramTest : public ::testing::Test {
protected:
    RunProgramTest() : platform(spooler) {
        spooler.printers = {u"Default_Printer", kOffice, kLong};
        spooler.defaultPrinter = u"Default_Printer";
        platform.drivers = {{kOffice, {220, 16}}, {kLong, {220, 16}}};
        platform.files[u"office.dev"] = DeviceInfoFile(Record(kOffice), kOffice);
        platform.files[u"long.dev"] = DeviceInfoFile(Record(kLong), kLong);
        platform.files[u"gone.dev"] = DeviceInfoFile(Record(u"Gone"), u"Gone");
        platform.files[u"damaged.dev"] = {0xEC, 0, 0, 0, 1, 2};  // a record of 236 bytes, cut off
    }
    int Run(const Names& args) { return RunProgram(args, spooler, platform, platform, platform, strings); }

    test_support::FakePrintServices spooler;
    BuiltInEnglish strings;
    FakeOpenPlatform platform;
};

TEST_F(RunProgramTest, NoArgumentIsTheUsualStart) {
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(platform.log, (std::vector<std::string>{"usual dialog Default_Printer/", "destroy"}));
}

TEST_F(RunProgramTest, MoreThanOneArgumentShowsTheUsageAndOpensNothing) {
    EXPECT_EQ(Run({u"office.dev", u"long.dev"}), kWrongUsageExitCode);
    ASSERT_EQ(platform.log.size(), 1u);
    EXPECT_EQ(
        platform.log[0],
        "message IKWDev opens one device info file at a time and was given more than one, so nothing was opened. "
        "Start it with one file, or with none.\nusage : IKWDev [FILE]\nWithout FILE the print setup dialog box "
        "opens on the default printer; with a device info file (.dev) it opens on the file's printer and settings.");
    EXPECT_TRUE(spooler.defaultsSet.empty());
}

TEST_F(RunProgramTest, AFileOpensOnItsPrinterWithTheDriversRecordAndLeavesTheDefaultAlone) {
    spooler.connections = {kServerQueue};
    platform.drivers[kServerQueue] = {220, 16};
    platform.files[u"server.dev"] = DeviceInfoFile(Record(kServerQueue), kServerQueue);
    platform.files[u"lower-case.dev"] = DeviceInfoFile(Record(u"office_laser"), u"office_laser");
    // The file, and the printer the dialog opens on: a print server's
    // printer is installed as a connection, and names match without regard
    // to case, the installed spelling winning.
    for (const auto& [file, printer] :
         {std::pair{u"office.dev", kOffice}, std::pair{u"long.dev", kLong}, std::pair{u"server.dev", kServerQueue},
          std::pair{u"lower-case.dev", kOffice}}) {
        SCOPED_TRACE(Narrow(file));
        platform.log.clear();
        EXPECT_EQ(Run({file}), 0);
        EXPECT_EQ(platform.log, (std::vector<std::string>{"merge " + Narrow(printer) + " 236",
                                                          "dialog with C:\\dev\\" + Narrow(file) + " on " +
                                                              Narrow(printer) + " (default Default_Printer)",
                                                          "destroy"}));
        ASSERT_TRUE(platform.openedWith);
        EXPECT_EQ(platform.openedWith->record.size(), 236u);
        EXPECT_EQ(platform.openedWith->record[64], 0xCC) << "the dialog gets the record the driver merged";
        EXPECT_TRUE(spooler.defaultsSet.empty());
    }
}

TEST_F(RunProgramTest, WhatTheFittingResetIsToldBeforeTheDialogShowsTheSettings) {
    const std::string kSavingAfterReset =
        "If you save over this file with [save], it gets the settings the dialog box shows, and the file's own values "
        "of the reset settings are lost.";
    platform.files[u"older.dev"] = DeviceInfoFile(Record(kOffice, 220, 16, 0x0500), kOffice);
    Bytes cut = Record(kOffice, 220, 0);
    PutU16(cut, kDmFieldsOffset + 2, 0x0001);  // DM_FORMNAME, past the driver's 120 bytes
    platform.files[u"cut.dev"] = DeviceInfoFile(cut, kOffice);
    const struct {
        const char* name;
        std::u16string file;
        std::string message;
        std::size_t merged;
    } cases[] = {
        {"another driver version", u"older.dev",
         "message Some settings in this file could not be used with this printer and were reset to the driver's "
         "defaults. Check the settings before you save.\nsome settings in this file were reset (Office_Laser) "
         ":older.dev\n"
         "The driver's own settings in this file (what the printer's Properties pages set) were made by another "
         "version of the driver, or for another printer, so they were reset to the driver's defaults.\n"
         "These settings were used from the file: orientation, paper size.\n" +
             kSavingAfterReset,
         220},
        {"a public part the driver has no room for", u"cut.dev",
         "message Some settings in this file could not be used with this printer and were reset to the driver's "
         "defaults. Check the settings before you save.\nsome settings in this file were reset (Office_Laser) "
         ":cut.dev\n"
         "These settings were reset, because the file does not hold them or this printer's driver has no place for "
         "them: paper name.\n"
         "These settings were used from the file: orientation, paper size.\n" +
             kSavingAfterReset,
         120},
    };
    platform.drivers[kOffice] = {220, 16};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.merged == 120)
            platform.drivers[kOffice] = {120, 0};
        platform.log.clear();
        EXPECT_EQ(Run({c.file}), 0);
        EXPECT_EQ(platform.log, (std::vector<std::string>{"merge Office_Laser " + std::to_string(c.merged), c.message,
                                                          "dialog with C:\\dev\\" + Narrow(c.file) +
                                                              " on Office_Laser (default Default_Printer)",
                                                          "destroy"}));
    }
}

TEST_F(RunProgramTest, AFileThatCannotBeOpenedIsReportedThenTheUsualStartFollows) {
    const struct {
        const char* name;
        std::u16string file;
        std::function<void(FakeOpenPlatform&)> arrange;
        std::vector<std::string> log;
    } cases[] = {
        {"damaged",
         u"damaged.dev",
         nullptr,
         {"message " +
          Narrow(NotDeviceInfo(u"file is shorter than its header says: DevModeSize 236 needs 240 bytes, "
                               u"the file has 6 bytes",
                               u"damaged.dev")) +
          kOpensOnDefault}},
        {"missing", u"missing.dev", nullptr, {"message open error :missing.dev"}},
        {"not installed",
         u"gone.dev",
         nullptr,
         {"message " + Narrow(NotInstalled(u"Gone", u"gone.dev")) + kOpensOnDefault}},
        {"driver gives no settings", u"office.dev", [](FakeOpenPlatform& p) { p.drivers.clear(); }, {kDriverRefused}},
        {"driver refuses",
         u"office.dev",
         [](FakeOpenPlatform& p) { p.driverRefuses = true; },
         {"merge Office_Laser 236", kDriverRefused}},
        {"dialog does not open",
         u"office.dev",
         [](FakeOpenPlatform& p) { p.fileDialogOpens = false; },
         {"merge Office_Laser 236", "dialog with C:\\dev\\office.dev on Office_Laser (default Default_Printer)",
          "message The print setup dialog box could not be opened with this file's settings. Nothing was "
          "changed.\nthe dialog box could not open (Office_Laser) :office.dev" +
              kOpensOnDefault}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::FakePrintServices fresh = spooler;
        FakeOpenPlatform platform(fresh);
        platform.files = this->platform.files;
        platform.drivers = this->platform.drivers;
        if (c.arrange)
            c.arrange(platform);
        EXPECT_EQ(RunProgram({c.file}, fresh, platform, platform, platform, strings), 0);
        std::vector<std::string> expected = c.log;
        expected.insert(expected.end(), {"usual dialog Default_Printer/", "destroy"});
        EXPECT_EQ(platform.log, expected);
        EXPECT_TRUE(fresh.defaultsSet.empty());
    }
}

// Without a default printer, or on the one the usual start never opens on by
// choice, the dialog comes up on some other printer: the message then says
// nothing of what opens next.
TEST_F(RunProgramTest, ARefusedFilePromisesTheDefaultPrinterOnlyWhenTheDialogOpensOnIt) {
    for (const std::u16string& defaultPrinter : {std::u16string(), kExcludedPrinter}) {
        SCOPED_TRACE(Narrow(defaultPrinter));
        spooler.defaultPrinter = defaultPrinter;
        platform.log.clear();
        EXPECT_EQ(Run({u"gone.dev"}), 0);
        ASSERT_FALSE(platform.log.empty());
        EXPECT_EQ(platform.log[0], "message " + Narrow(NotInstalled(u"Gone", u"gone.dev")));
    }
}

// Without the printer list the file's printer cannot be looked up: the user
// hears that, with the system's reason, and not that it is not installed.
TEST_F(RunProgramTest, APrinterListThatCannotBeReadIsSaidSoAndNotThatThePrinterIsMissing) {
    spooler.listAllocationFails = true;
    EXPECT_EQ(Run({u"office.dev"}), 0);
    ASSERT_FALSE(platform.log.empty());
    EXPECT_EQ(platform.log.front(),
              "message The list of printers could not be read, so this file was not opened. Check that the print "
              "spooler is running, then open the file again.\nprinter list could not be read (The RPC server is "
              "unavailable.) :office.dev");
    EXPECT_TRUE(spooler.defaultsSet.empty());
}

}  // namespace
}  // namespace ikw
