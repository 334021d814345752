#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "devinfo/device_records.h"
#include "devinfo/file_name_suggestion.h"
#include "devinfo/message_texts.h"
#include "devinfo/save_device_settings.h"
#include "device_info_fixtures.h"
#include "fake_file_system.h"
#include "fake_print_services.h"

namespace ikw {
namespace {

using test_support::Bytes;
using test_support::FakeFiles;
using test_support::MakeDeviceInfoFile;
using test_support::MakeDevNames;
using test_support::PutU16;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// A DEVMODEW record as a driver hands it over, all of it a recognisable
// pattern but for the name, cut to its 32-unit field, and the sizes. The
// block may be larger than the record, as allocations are rounded up.
Bytes DevMode(const std::u16string& deviceName, std::uint16_t dmSize, std::uint16_t dmDriverExtra,
              std::size_t blockSize = 0) {
    return test_support::MakeDevMode({deviceName, 32, dmSize, dmDriverExtra, blockSize, 0, 7, 1});
}

using test_support::Log;

// Lends a copy of each record while it is locked and spoils the copy when
// the last lock is undone, so a read after the unlock shows in the file.
class FakeRecords : public DialogRecords {
public:
    struct Record {
        std::optional<Bytes> bytes;  // nullopt: the parameter block has no handle
        std::set<int> failingLocks;  // which lock attempts fail, from 1
        int attempts = 0;
        int depth = 0;
        Bytes lent;
    };
    Record settings, names;
    Log* log = nullptr;

    std::optional<LockedRecord> Lock(DialogRecord which) override {
        Record& r = at(which);
        log->push_back("lock " + label(which));
        ++r.attempts;
        if (!r.bytes || r.failingLocks.count(r.attempts))
            return std::nullopt;
        if (r.depth++ == 0)
            r.lent = *r.bytes;
        return LockedRecord{r.lent.data(), r.lent.size()};
    }
    void Unlock(DialogRecord which) override {
        Record& r = at(which);
        log->push_back("unlock " + label(which));
        if (r.depth == 0) {
            ADD_FAILURE() << "unlock of " << label(which) << " without a lock";
            return;
        }
        if (--r.depth == 0)
            std::fill(r.lent.begin(), r.lent.end(), std::uint8_t{0xDD});
    }

private:
    Record& at(DialogRecord which) { return which == DialogRecord::DeviceSettings ? settings : names; }
    static std::string label(DialogRecord which) {
        return which == DialogRecord::DeviceSettings ? "settings" : "names";
    }
};

class FakeStrings : public StringTable {
public:
    std::map<unsigned, std::u16string> table;
    Log* log = nullptr;
    std::u16string Load(unsigned id) override {
        log->push_back("load string " + std::to_string(id));
        auto found = table.find(id);
        return found == table.end() ? u"" : found->second;
    }
};

class FakeSaveDialog : public SaveFileDialog {
public:
    std::optional<std::u16string> answer;  // nullopt: the user cancels
    bool fails = false;                    // neither dialog style can be shown
    std::optional<SaveFileRequest> request;
    Log* log = nullptr;
    SaveDialogAnswer AskForSavePath(const SaveFileRequest& r) override {
        log->push_back("ask for path");
        request = r;
        if (fails)
            return {SaveDialogAnswer::Outcome::Failed, {}};
        if (!answer)
            return {SaveDialogAnswer::Outcome::Cancelled, {}};
        return {SaveDialogAnswer::Outcome::Chosen, *answer};
    }
};

struct Message {
    std::u16string text;
    MessageIcon icon;
    bool operator==(const Message& o) const { return text == o.text && icon == o.icon; }
};

void PrintTo(const Message& m, std::ostream* os) {
    *os << (m.icon == MessageIcon::Stop ? "stop: " : "exclamation: ") << Narrow(m.text);
}

class FakeMessages : public MessageBoxes {
public:
    std::vector<Message> shown;
    Log* log = nullptr;
    void ShowMessage(const std::u16string& text, MessageIcon icon) override {
        log->push_back("message");
        shown.push_back({text, icon});
    }
};

const std::u16string kEnglishFilter = u"device info files(*.dev)|*.dev|all files(*.*)|*.*||";
const std::u16string kPrinter = u"Office Laser";
const std::u16string kTarget = u"C:\\out\\Office Laser.dev";
const std::u16string kTemporary = u"C:\\out\\~Office Laser.dev.tmp";

// The fakes wired together, with a printer whose settings fit their block.
struct Rig {
    Log log;
    FakeRecords records;
    FakeStrings strings;
    FakeSaveDialog dialog;
    FakeFiles files;
    FakeMessages messages;
    test_support::FakePrintServices comparison;
    // dmSize 220 and 8 bytes of driver data in a block rounded up to 240.
    const Bytes devMode = DevMode(kPrinter, 220, 8, 240);

    Rig() {
        records.log = strings.log = dialog.log = files.log = messages.log = &log;
        records.settings.bytes = devMode;
        records.names.bytes = MakeDevNames(u"winspool", kPrinter, u"CUPS:");
        strings.table[102] = kEnglishFilter;
        dialog.answer = kTarget;
    }
    // Whatever path the save took, every lock was undone and no file is left open.
    ~Rig() {
        EXPECT_EQ(records.settings.depth, 0);
        EXPECT_EQ(records.names.depth, 0);
        EXPECT_TRUE(files.open.empty());
    }

    TiedFile Save(const TiedFile& tied = {}) {
        return SaveDeviceSettings({records, strings, dialog, files, messages, comparison}, tied);
    }
};

using Files = std::map<std::u16string, Bytes>;

TEST(SaveDeviceSettings, WritesANewFileBesideTheChosenOneAndMovesItIntoPlace) {
    Rig rig;
    rig.files.files[kTarget] = {1, 2, 3};  // the previous save, which the user confirmed to replace

    rig.Save();

    const Log expected = {
        "lock settings",
        "load string 102",
        "lock names",
        "unlock names",
        "ask for path",
        "lock names",
        "look " + Narrow(kTarget),
        "create " + Narrow(kTemporary),
        "write 232",
        "close",
        "replace " + Narrow(kTarget) + " < " + Narrow(kTemporary),
        "unlock names",
        "unlock settings",
    };
    EXPECT_EQ(rig.log, expected);
    EXPECT_EQ(rig.files.files, (Files{{kTarget, MakeDeviceInfoFile(rig.devMode, 228)}}));
    EXPECT_TRUE(rig.messages.shown.empty());

    ASSERT_TRUE(rig.dialog.request);
    const SaveFileRequest& r = *rig.dialog.request;
    ASSERT_EQ(r.filters.size(), 2u);
    EXPECT_EQ(r.filters[0].displayName, u"device info files(*.dev)");
    EXPECT_EQ(r.filters[0].pattern, u"*.dev");
    EXPECT_EQ(r.defaultExtension, u".dev");
    EXPECT_EQ(r.initialFileName, kPrinter);
    EXPECT_EQ(r.initialFolder, u"");
    EXPECT_TRUE(r.hideReadOnly);
    EXPECT_TRUE(r.overwritePrompt);
}

TEST(SaveDeviceSettings, AnOpenedFileIsSuggestedByItsFolderAndNameAndReplacedLikeAnyOther) {
    Rig rig;
    rig.files.files[kTarget] = {1, 2, 3};

    rig.Save({kTarget, kPrinter});

    ASSERT_TRUE(rig.dialog.request);
    EXPECT_EQ(rig.dialog.request->initialFolder, u"C:\\out\\");
    EXPECT_EQ(rig.dialog.request->initialFileName, u"Office Laser.dev");
    EXPECT_TRUE(rig.dialog.request->overwritePrompt);
    EXPECT_EQ(rig.files.files, (Files{{kTarget, MakeDeviceInfoFile(rig.devMode, 228)}}));
}

// The tie moves to the file just written; on another printer than the tied
// file's, the save suggests as if no file were open.
TEST(SaveDeviceSettings, TheTiedFileIsSuggestedOnlyForItsPrinterAndFollowsEachSave) {
    const std::u16string opened = u"C:\\old\\office.dev";
    const std::u16string kLabel = u"Label.Printer";
    const struct {
        const char* name;
        TiedFile tied;
        std::function<void(Rig&)> arrange;
        std::u16string folder, suggestion;
        TiedFile after;
    } cases[] = {
        {"saved under another name", {opened, kPrinter}, nullptr, u"C:\\old\\", u"office.dev", {kTarget, kPrinter}},
        {"another printer picked", {opened, kLabel}, nullptr, u"", kPrinter, {kTarget, kPrinter}},
        {"cancelled",
         {opened, kPrinter},
         [](Rig& r) { r.dialog.answer.reset(); },
         u"C:\\old\\",
         u"office.dev",
         {opened, kPrinter}},
        {"the write fails",
         {opened, kPrinter},
         [](Rig& r) { r.files.writeFailsAfter = 0; },
         u"C:\\old\\",
         u"office.dev",
         {opened, kPrinter}},
        // A dialog opened on no file stays tied to none.
        {"no file", {}, nullptr, u"", kPrinter, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        if (c.arrange)
            c.arrange(rig);
        const TiedFile after = rig.Save(c.tied);
        ASSERT_TRUE(rig.dialog.request);
        EXPECT_EQ(Narrow(rig.dialog.request->initialFolder), Narrow(c.folder));
        EXPECT_EQ(Narrow(rig.dialog.request->initialFileName), Narrow(c.suggestion));
        EXPECT_EQ(Narrow(after.path), Narrow(c.after.path));
        EXPECT_EQ(Narrow(after.printer), Narrow(c.after.printer));
    }
}

TEST(TiedFileFor, NamesTheFileOnlyWhileTheDialogShowsItsPrinter) {
    const TiedFile tied{u"C:\\s\\office.dev", u"Office Laser"};
    EXPECT_EQ(Narrow(TiedFileFor(tied, u"Office Laser")), "C:\\s\\office.dev");
    EXPECT_EQ(Narrow(TiedFileFor(tied, u"Label.Printer")), "");
    EXPECT_EQ(Narrow(TiedFileFor({}, u"")), "");
}

TEST(SaveDeviceSettings, WithoutSettingsNothingIsSavedAndTheUserIsTold) {
    for (const bool hasHandle : {false, true}) {
        SCOPED_TRACE(hasHandle ? "settings lock fails" : "no settings handle");
        Rig rig;
        if (hasHandle)
            rig.records.settings.failingLocks = {1};
        else
            rig.records.settings.bytes.reset();

        rig.Save();

        EXPECT_EQ(rig.log, (Log{"lock settings", "load string " + std::to_string(IDS_NO_SETTINGS), "message"}));
        EXPECT_TRUE(rig.files.files.empty());
        const Message expected{
            u"Nothing was saved: the printer's driver gave no settings for the printer shown, or "
            u"they could not be read. Choose the printer again, or check its driver.",
            MessageIcon::Stop};
        EXPECT_EQ(rig.messages.shown, std::vector<Message>{expected});
    }
}

// A save command that reaches the disabled setup dialog while its save
// dialog is open: the nested press does nothing, and the first save still
// writes its file from records that stayed locked throughout.
TEST(OneSaveAtATime, APressDuringASaveDoesNothing) {
    Rig rig;
    OneSaveAtATime saveCommand;
    int nestedPresses = 0;
    struct PressesAgain : SaveFileDialog {
        FakeSaveDialog& inner;
        std::function<void()> press;
        PressesAgain(FakeSaveDialog& i, std::function<void()> p) : inner(i), press(std::move(p)) {}
        SaveDialogAnswer AskForSavePath(const SaveFileRequest& r) override {
            press();
            return inner.AskForSavePath(r);
        }
    };
    const auto save = [&](SaveFileDialog& dialog) {
        SaveDeviceSettings({rig.records, rig.strings, dialog, rig.files, rig.messages, rig.comparison});
    };
    PressesAgain dialog(rig.dialog, [&] {
        ++nestedPresses;
        saveCommand.Run([&] { save(rig.dialog); });
    });

    saveCommand.Run([&] { save(dialog); });

    EXPECT_EQ(nestedPresses, 1);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "ask for path"), 1);
    EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "lock settings"), 1);
    EXPECT_EQ(rig.files.files, (Files{{kTarget, MakeDeviceInfoFile(rig.devMode, 228)}}));

    // Once it is over, the next press saves again, also after a save that threw.
    EXPECT_THROW(saveCommand.Run([] { throw std::bad_alloc(); }), std::bad_alloc);
    rig.dialog.answer = u"C:\\out\\second.dev";
    saveCommand.Run([&] { save(rig.dialog); });
    EXPECT_EQ(rig.files.files.count(u"C:\\out\\second.dev"), 1u);
}

TEST(SaveDeviceSettings, CancellingWritesNothing) {
    Rig rig;
    rig.files.files[kTarget] = {1, 2, 3};
    rig.dialog.answer.reset();

    rig.Save();

    EXPECT_EQ(rig.log.back(), "unlock settings");
    EXPECT_EQ(rig.files.files, (Files{{kTarget, {1, 2, 3}}}));
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(SaveDeviceSettings, AFailedSaveKeepsThePreviousFileAndLeavesNoOther) {
    const std::u16string tooLong = u"C:\\out\\" + std::u16string(249, u'n') + u".dev";  // 260 units
    const std::u16string damaged =
        u"Nothing was saved: the settings the printer's driver gave are damaged. Choose the printer again, or check "
        u"its "
        u"driver.";
    const std::u16string writeError =
        u"The settings could not be written, so nothing was saved and an existing file was left as it was. Check that "
        u"the disk has free space and that you have permission to save in that folder, then save again.\nwrite error "
        u":" +
        kTarget;
    struct Case {
        const char* name;
        std::function<void(Rig&)> arrange;
        Message expected;
    };
    const Case cases[] = {
        {"folder does not exist",
         [](Rig& r) { r.dialog.answer = u"C:\\gone\\Office Laser.dev"; },
         {u"open error :C:\\gone\\Office Laser.dev\nNo file could be made in this folder: it does not exist, or you "
          u"do not have permission to write there. Nothing was saved. Choose another folder.",
          MessageIcon::Exclamation}},
        {"path names a folder",
         [](Rig& r) { r.dialog.answer = u"C:\\out\\"; },
         {u"open error :C:\\out\\", MessageIcon::Exclamation}},
        {"target cannot be replaced",
         [](Rig& r) { r.files.moveFails = true; },
         {u"open error :" + kTarget +
              u"\nThe file could not be replaced, so nothing was saved and it was left as it was. Check that you may "
              u"write there, then save again.",
          MessageIcon::Exclamation}},
        {"write fails part way", [](Rig& r) { r.files.writeFailsAfter = 100; }, {writeError, MessageIcon::Stop}},
        {"write fails at once", [](Rig& r) { r.files.writeFailsAfter = 0; }, {writeError, MessageIcon::Stop}},
        {"close fails", [](Rig& r) { r.files.closeFails = true; }, {writeError, MessageIcon::Stop}},
        {"save dialog cannot be shown",
         [](Rig& r) { r.dialog.fails = true; },
         {u"Nothing was saved: the Save As dialog box could not be shown. Press [save] to try again.",
          MessageIcon::Stop}},
        {"path of 260 units",
         [&](Rig& r) { r.dialog.answer = tooLong; },
         {u"The file was not saved because its path is longer than 259 characters. Choose a shorter folder or file "
          u"name.\npath too long (259 characters at most) :" +
              tooLong,
          MessageIcon::Exclamation}},
        // 220 + 21 bytes claimed in a block of 240.
        {"record larger than its block",
         [](Rig& r) { PutU16(*r.records.settings.bytes, 70, 21); },
         {damaged, MessageIcon::Stop}},
        {"record too small for its own fields",
         [](Rig& r) { r.records.settings.bytes = DevMode(kPrinter, 60, 0, 240); },
         {damaged, MessageIcon::Stop}},
        {"full name too long for the tail",
         [](Rig& r) { r.records.names.bytes = MakeDevNames(u"winspool", std::u16string(40000, u'p'), u"CUPS:"); },
         {u"Nothing was saved: the printer's name is too long to be saved in a device info file. Give the printer a "
          u"shorter name, then save again.",
          MessageIcon::Stop}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.files.files[kTarget] = {1, 2, 3};
        c.arrange(rig);

        rig.Save();

        EXPECT_EQ(rig.files.files, (Files{{kTarget, {1, 2, 3}}}));
        EXPECT_EQ(rig.messages.shown, std::vector<Message>{c.expected});
    }
}

// What is no file the save may replace is refused before anything is made
// beside it, with "open error :" and the path first and the reason after.
TEST(SaveDeviceSettings, WhatIsNoReplaceableFileIsRefusedBeforeAnythingIsMadeAndTheReasonGiven) {
    const std::u16string folder = u"A folder has this name, so nothing was saved and the folder was left as it was.";
    const std::u16string device =
        u"This name is a device's (such as NUL, CON, COM1 or LPT1, with or without an "
        u"extension), not a file's, so nothing was saved.";
    struct Case {
        const char* name;
        std::u16string path;
        std::function<void(FakeFiles&, const std::u16string&)> arrange;
        std::u16string reasonStart;
    };
    const auto holds = [](PathHolds what) {
        return [what](FakeFiles& f, const std::u16string& path) { f.others[path] = what; };
    };
    const Case cases[] = {
        {"a folder", kTarget, [](FakeFiles& f, const std::u16string& path) { f.folders.insert(path); }, folder},
        {"NUL with extensions", u"C:\\out\\NUL.x.dev", nullptr, device},
        {"COM1 with extensions", u"C:\\out\\COM1.x.dev", nullptr, device},
        {"a device name ending in spaces", u"C:\\out\\aux  .a.dev", nullptr, device},
        {"a superscript port", u"C:\\out\\COM\u00b9.dev", nullptr, device},
        {"the console input", u"CONIN$", nullptr, device},
        {"a device found by the platform", kTarget, holds(PathHolds::Device), device},
        {"a pipe", kTarget, holds(PathHolds::Pipe), u"A named pipe has this name, not a file"},
        {"a file held open", kTarget, holds(PathHolds::FileInUse), u"The file is in use by another program"},
        {"a read-only file", kTarget, holds(PathHolds::ReadOnlyFile), u"The file is read-only"},
        {"a file this user may not replace", kTarget, holds(PathHolds::FileDenied),
         u"You do not have permission to replace this file"},
        {"a link to nothing", kTarget,
         [](FakeFiles& f, const std::u16string& path) { f.links[path] = u"C:\\out\\missing.dev"; },
         u"A symbolic link to a file that does not exist has this name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.dialog.answer = c.path;
        rig.files.files[u"C:\\out\\other.dev"] = {1, 2, 3};
        if (c.arrange)
            c.arrange(rig.files, c.path);

        rig.Save();

        EXPECT_EQ(std::count_if(rig.log.begin(), rig.log.end(),
                                [](const std::string& entry) { return entry.rfind("create ", 0) == 0; }),
                  0);
        EXPECT_EQ(rig.files.files, (Files{{u"C:\\out\\other.dev", {1, 2, 3}}}));
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        const std::u16string firstLine = u"open error :" + c.path + u"\n";
        EXPECT_EQ(Narrow(rig.messages.shown[0].text.substr(0, firstLine.size() + c.reasonStart.size())),
                  Narrow(firstLine + c.reasonStart));
    }
}

// Wine shows a link to nothing as nothing at all: the platform finds it only
// when it puts the file in place, and nothing may be left behind then.
TEST(SaveDeviceSettings, ANameTakenWhenTheFileIsPutInPlaceLeavesNothingBehind) {
    Rig rig;
    rig.files.nameTakenAtPlace = true;

    rig.Save();

    EXPECT_TRUE(rig.files.files.empty());
    const Message expected{u"open error :" + kTarget +
                               u"\nSomething that is not a file took this name while saving, or it is a symbolic link "
                               u"to a file that does not exist, so nothing was saved and it was left as it was. "
                               u"Choose another name.",
                           MessageIcon::Exclamation};
    EXPECT_EQ(rig.messages.shown, std::vector<Message>{expected});
}

// The one failure after which the chosen file is gone: the new settings must
// survive in the temporary file, and the user must be told where.
TEST(SaveDeviceSettings, AReplaceThatLostTheTargetKeepsTheNewFileAndSaysWhere) {
    Rig rig;
    rig.files.files[kTarget] = {1, 2, 3};
    rig.files.replaceLosesTarget = true;

    rig.Save();

    ASSERT_EQ(rig.files.files.size(), 1u);
    EXPECT_EQ(rig.files.files.begin()->first, kTemporary);
    EXPECT_EQ(rig.files.files.begin()->second.size(), 4u + 228u);
    const Message expected{
        u"The old file was removed, but the new one could not take its place. Your settings are in the temporary file "
        u"named on the last line: rename it to the name you chose. Do not delete it; it is the only copy.\nreplace "
        u"error :" +
            kTarget + u"\nsaved settings :" + kTemporary,
        MessageIcon::Stop};
    EXPECT_EQ(rig.messages.shown, std::vector<Message>{expected});
}

TEST(SaveDeviceSettings, ALeftoverTemporaryFileIsLeftAloneAndAnotherNameUsed) {
    Rig rig;
    rig.files.files[kTemporary] = {9, 9};

    rig.Save();

    EXPECT_EQ(rig.files.files, (Files{{kTarget, MakeDeviceInfoFile(rig.devMode, 228)}, {kTemporary, {9, 9}}}));
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(SaveDeviceSettings, ThroughALinkTheFileItPointsToIsReplacedBesideItself) {
    const std::u16string real = u"C:\\shared\\office.dev";
    Rig rig;
    rig.files.folders.insert(u"C:\\shared");
    rig.files.files[real] = {1, 2, 3};
    rig.files.links[kTarget] = real;

    rig.Save();

    EXPECT_EQ(rig.files.files, (Files{{real, MakeDeviceInfoFile(rig.devMode, 228)}}));
    EXPECT_EQ(rig.files.links, (std::map<std::u16string, std::u16string>{{kTarget, real}}));
    EXPECT_NE(std::find(rig.log.begin(), rig.log.end(), "create C:\\shared\\~office.dev.tmp"), rig.log.end());
    EXPECT_TRUE(rig.messages.shown.empty());
}

// The live copy, the merge, the decoder and the fitting all ask this: never
// more than the bytes there (for the live copy, the driver's record size).
TEST(ClaimedSizeWithin, NeverMoreThanTheBytesThere) {
    struct Case {
        const char* name;
        std::uint16_t dmSize, dmDriverExtra;
        std::size_t available;
        std::optional<std::size_t> expected;
    };
    const Case cases[] = {
        {"as large as the bytes there", 220, 8, 228, 228},
        {"smaller than the bytes there", 220, 0, 228, 220},
        {"one byte more than there is", 220, 9, 228, std::nullopt},
        // Both fields at their largest add up past 16 bits.
        {"the most the fields can claim", 0xFFFF, 0xFFFF, 228, std::nullopt},
        {"the most the fields can claim, and as many bytes", 0xFFFF, 0xFFFF, 131070, 131070},
        {"too few bytes for the fields read", 60, 0, 71, std::nullopt},
    };
    for (const Case& c : cases) {
        const Bytes header = DevMode(kPrinter, c.dmSize, c.dmDriverExtra, 72);
        EXPECT_EQ(ClaimedSizeWithin(header.data(), c.available), c.expected) << c.name;
    }
}

TEST(SaveDeviceSettings, PathsOf259UnitsAreSavedUnderExactlyThatName) {
    const std::u16string deepFolder = u"C:\\" + std::u16string(254, u'd');
    const std::u16string paths[] = {
        u"C:\\out\\" + std::u16string(248, u'n') + u".dev",  // a long name
        deepFolder + u"\\x",                                 // a deep folder with a one-unit name
    };
    for (const std::u16string& path : paths) {
        ASSERT_EQ(path.size(), 259u);
        Rig rig;
        rig.files.folders.insert(deepFolder);
        rig.dialog.answer = path;

        rig.Save();

        EXPECT_EQ(rig.files.files, (Files{{path, MakeDeviceInfoFile(rig.devMode, 228)}}));
        EXPECT_TRUE(rig.messages.shown.empty());
    }
}

TEST(SaveDeviceSettings, TheFullNameComesFromTheNamesRecordLockedForTheWrite) {
    const std::u16string longName = u"Reception Colour Laser On The Third Floor";  // 41 units
    const Bytes cutDevMode = DevMode(longName.substr(0, 31), 220, 0);
    struct Case {
        const char* name;
        std::function<void(FakeRecords&)> arrange;
        bool tail;
        std::u16string suggestion;
    };
    const Case cases[] = {
        {"names record locked", [](FakeRecords&) {}, true, longName},
        {"names record cannot be locked for the write", [](FakeRecords& r) { r.names.failingLocks = {2}; }, false,
         longName},
        {"no names record", [](FakeRecords& r) { r.names.bytes.reset(); }, false, u""},
        // The block ends before the device name's terminator: the port and the terminator are cut off.
        {"name without a terminator in its block",
         [](FakeRecords& r) { r.names.bytes->resize(r.names.bytes->size() - 2 * 7); }, false, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.records.settings.bytes = cutDevMode;
        rig.records.names.bytes = MakeDevNames(u"winspool", longName, u"CUPS:");
        c.arrange(rig.records);

        rig.Save();

        EXPECT_EQ(rig.files.files,
                  (Files{{kTarget, MakeDeviceInfoFile(cutDevMode, 220, c.tail ? &longName : nullptr)}}));
        ASSERT_TRUE(rig.dialog.request);
        EXPECT_EQ(rig.dialog.request->initialFileName, c.suggestion);
    }
}

TEST(ReadDeviceName, StaysInsideTheBlock) {
    const Bytes sound = MakeDevNames(u"winspool", kPrinter, u"CUPS:");
    const std::size_t portBytes = 2 * 6;     // "CUPS:" and its terminator
    Bytes farOffset(8 + 2 * 0x0104 + 4, 0);  // the name at unit 0x104: both offset bytes count
    PutU16(farOffset, 2, 0x0104);
    PutU16(farOffset, 8, u'Q');  // where the low byte alone would point
    PutU16(farOffset, 2 * 0x0104, u'Z');
    Bytes insideHeader = sound;
    PutU16(insideHeader, 2, 3);
    Bytes pastTheEnd = sound;
    PutU16(pastTheEnd, 2, 0xFFFF);
    Bytes emptyName = sound;
    PutU16(emptyName, 2 * 13, 0);  // the device name's first unit, after the fields and "winspool"

    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t size;
        std::optional<std::u16string> expected;
    };
    const Case cases[] = {
        {"sound record", sound, sound.size(), kPrinter},
        {"block ends after the name's terminator", sound, sound.size() - portBytes, kPrinter},
        {"odd block size keeps the last whole unit", sound, sound.size() - portBytes + 1, kPrinter},
        {"terminator outside the block", sound, sound.size() - portBytes - 1, std::nullopt},
        {"no room for a terminator", sound, sound.size() - portBytes - 2, std::nullopt},
        {"offset read as little-endian", farOffset, farOffset.size(), u"Z"},
        {"offset into the record's own fields", insideHeader, insideHeader.size(), std::nullopt},
        {"offset past the block", pastTheEnd, pastTheEnd.size(), std::nullopt},
        {"block shorter than the fields", sound, 7, std::nullopt},
        {"empty name", emptyName, emptyName.size(), u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadDeviceName(c.bytes.data(), c.size), c.expected) << c.name;
}

TEST(ParseFilterList, ReadsPairsUpToTheEmptyDisplayName) {
    using Filters = std::vector<std::pair<std::u16string, std::u16string>>;
    struct Case {
        std::u16string list;
        Filters expected;
    };
    const Case cases[] = {
        {kEnglishFilter, {{u"device info files(*.dev)", u"*.dev"}, {u"all files(*.*)", u"*.*"}}},
        {u"\uff83\uff9e\uff8a\uff9e\uff72\uff7d\u60c5\u5831\uff8c\uff67\uff72\uff99(*.dev)|*.dev|"
         u"\u5168\u3066\u306e\uff8c\uff67\uff72\uff99(*.*)|*.*||",
         {{u"\uff83\uff9e\uff8a\uff9e\uff72\uff7d\u60c5\u5831\uff8c\uff67\uff72\uff99(*.dev)", u"*.dev"},
          {u"\u5168\u3066\u306e\uff8c\uff67\uff72\uff99(*.*)", u"*.*"}}},
        {u"", {}},
        {u"a|*.a", {{u"a", u"*.a"}}},
        {u"a|*.a||b|*.b||", {{u"a", u"*.a"}}},
        {u"a|*.a|b", {{u"a", u"*.a"}}},
        {u"a||b|*.b||", {}},
        {u"|*.x||", {}},
    };
    for (const Case& c : cases) {
        Filters parsed;
        for (const FileFilter& f : ParseFilterList(c.list))
            parsed.emplace_back(f.displayName, f.pattern);
        EXPECT_EQ(parsed, c.expected) << Narrow(c.list);
    }
}

TEST(TemporaryPathFor, StaysInTheTargetsFolderWithinTheLengthLimit) {
    const std::u16string longName = std::u16string(248, u'n') + u".dev";
    const std::u16string deepFolder = u"C:\\" + std::u16string(254, u'd') + u"\\";
    struct Case {
        std::u16string target;
        unsigned attempt;
        std::u16string expected;
    };
    const Case cases[] = {
        {kTarget, 0, kTemporary},
        {kTarget, 3, u"C:\\out\\~3~Office Laser.dev.tmp"},
        {u"D:/labels/a.dev", 0, u"D:/labels/~a.dev.tmp"},
        {u"C:a.dev", 0, u"C:~a.dev.tmp"},
        // Never the target itself, even where the name already starts with the mark.
        {u"C:\\out\\~a.dev", 0, u"C:\\out\\_~a.dev.tmp"},
        {u"C:\\out\\~a.dev", 1, u"C:\\out\\_1_~a.dev.tmp"},
        // Cut short to fit where the target is of the longest length.
        {u"C:\\out\\" + longName, 0, u"C:\\out\\~" + longName.substr(0, 251)},
        {u"C:\\out\\" + longName, 2, u"C:\\out\\~2~" + longName.substr(0, 249)},
        {deepFolder + u"x", 0, deepFolder + u"~"},
        {deepFolder + u"~", 0, deepFolder + u"_"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TemporaryPathFor(c.target, c.attempt), c.expected) << Narrow(c.target) << " #" << c.attempt;
}

// At the length limit the name is cut, but each attempt keeps its number: one
// leftover file must not block every attempt.
TEST(TemporaryPathFor, EveryAttemptHasItsOwnNameAtTheLengthLimit) {
    const auto folderOf = [](std::size_t units) { return u"C:\\" + std::u16string(units - 4, u'd') + u"\\"; };
    const std::u16string targets[] = {
        u"C:\\out\\" + std::u16string(248, u'n') + u".dev",
        folderOf(258) + u"x",
        folderOf(257) + u"1.",  // a name that begins like an attempt number
        folderOf(256) + u"abc",
    };
    for (const std::u16string& target : targets) {
        ASSERT_EQ(target.size(), kMaxSavePathLength);
        SCOPED_TRACE(Narrow(target.substr(FileNameStart(target))));
        std::set<std::u16string> names;
        for (unsigned attempt = 0; attempt < 10; ++attempt) {
            const std::u16string name = TemporaryPathFor(target, attempt);
            EXPECT_NE(name, target);
            EXPECT_EQ(name.substr(0, FileNameStart(target)), target.substr(0, FileNameStart(target)));
            names.insert(name);
        }
        EXPECT_EQ(names.size(), 10u);
        EXPECT_LE(TemporaryPathFor(target, 0).size(), kMaxSavePathLength);
    }
}

}  // namespace
}  // namespace ikw
