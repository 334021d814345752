#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devinfo/device_info_format.h"
#include "device_info_fixtures.h"
#include "fake_print_services.h"

namespace ikw {
namespace {

using test_support::Bytes;
using test_support::GetU16;
using test_support::MakeDeviceInfoFile;
using test_support::PutU16;
using test_support::PutU32;

// A settings block as a driver hands it over: the public part zeroed apart
// from the name, dmSpecVersion and the sizes, the driver-private part and any slack after
// the record filled with a pattern so a misplaced copy shows.
struct RecordShape {
    std::u16string name;  // units beyond 32 are dropped, as the record's field is 32 wide
    std::uint16_t dmSize = 220;
    std::uint16_t dmDriverExtra = 0;
    std::size_t slack = 0;  // bytes the block holds after the record
};

Bytes MakeBlock(const RecordShape& shape) {
    const std::size_t recordSize = std::size_t{shape.dmSize} + shape.dmDriverExtra;
    Bytes block = test_support::MakeDevMode({shape.name.substr(0, 32), std::min<std::size_t>(shape.name.size(), 32),
                                        shape.dmSize, shape.dmDriverExtra,
                                        std::max<std::size_t>(recordSize, 72) + shape.slack, shape.dmSize, 31, 7});
    // dmSpecVersion follows the name field directly: a name read one unit
    // too far picks it up.
    PutU16(block, 64, 0x0401);
    return block;
}

std::u16string Repeat(std::size_t units) {
    std::u16string s;
    for (std::size_t i = 0; i < units; ++i)
        s.push_back(static_cast<char16_t>(u'A' + i % 26));
    return s;
}

// Stands in for lstrcmpW where the test needs the comparison to disagree with
// plain equality, and records what the encoder compared.
class ScriptedComparison : public NameComparison {
public:
    explicit ScriptedComparison(int result) : m_result(result) {}
    mutable std::vector<std::pair<std::u16string, std::u16string>> calls;
    int CompareNames(const std::u16string& a, const std::u16string& b) const override {
        calls.emplace_back(a, b);
        return m_result;
    }

private:
    int m_result;
};

const test_support::FakePrintServices kPlainComparison;

TEST(EncodeDeviceInfo, WritesRecordAndTailOnlyWhenNamesDiffer) {
    const std::u16string forty = Repeat(40);
    const std::u16string thirtyTwo = Repeat(32);
    const std::u16string longest = Repeat(32766);
    struct Case {
        const char* what;
        RecordShape record;
        std::optional<std::u16string> fullName;  // nullopt: no name record, or it could not be locked
        std::size_t fileSize;
        std::optional<std::u16string> tail;
    };
    const Case cases[] = {
        {"short name, 220/0 driver", {u"Office Laser"}, u"Office Laser", 224, std::nullopt},
        {"40 units cut to 31 in the record", {forty.substr(0, 31)}, forty, 4 + 220 + 2 + 82, forty},
        {"no name record, even for a cut name", {forty.substr(0, 31)}, std::nullopt, 224, std::nullopt},
        {"32 units without terminator equal the full name", {thirtyTwo}, thirtyTwo, 224, std::nullopt},
        {"record name differs only in case", {u"office laser"}, u"Office Laser", 4 + 220 + 2 + 26, u"Office Laser"},
        {"empty full name differs from the record's", {u"Office"}, u"", 4 + 220 + 2 + 2, u""},
        {"full name is read up to its NUL", {u"Office"}, std::u16string(u"Office\0junk", 11), 224, std::nullopt},
        {"driver-private part copied, slack left out", {u"P", 220, 1000, 16}, u"P", 4 + 1220, std::nullopt},
        {"dmSize + dmDriverExtra beyond 16 bits", {u"P", 65535, 1}, u"P", 4 + 65536, std::nullopt},
        {"both sizes at their limit", {u"P", 65535, 65535}, u"P", 4 + 131070, std::nullopt},
        {"smallest record that holds its sizes", {u"P", 72, 0}, u"P", 4 + 72, std::nullopt},
        {"longest name the 16-bit size holds", {u"P"}, longest, 4 + 220 + 2 + 65534, longest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes block = MakeBlock(c.record);
        const EncodeResult result =
            EncodeDeviceInfo(block.data(), block.size(), c.fullName ? &*c.fullName : nullptr, kPlainComparison);
        ASSERT_FALSE(result.failure);
        const Bytes& file = result.bytes;
        ASSERT_EQ(file.size(), c.fileSize);
        const std::size_t n = std::size_t{c.record.dmSize} + c.record.dmDriverExtra;
        EXPECT_EQ(file[0] | file[1] << 8 | file[2] << 16 | file[3] << 24, static_cast<int>(n));
        EXPECT_TRUE(std::equal(block.begin(), block.begin() + n, file.begin() + 4));
        if (c.tail) {
            EXPECT_EQ(GetU16(file, 4 + n), (c.tail->size() + 1) * 2);
            std::u16string written;
            for (std::size_t at = 6 + n; at < file.size(); at += 2)
                written.push_back(GetU16(file, at));
            EXPECT_EQ(written, *c.tail + u'\0');
        }

        // Whatever the encoder writes, the decoder accepts and reads back.
        const DecodeResult decoded = DecodeDeviceInfo(file.data(), file.size());
        ASSERT_TRUE(decoded.info) << decoded.error->message;
        EXPECT_EQ(decoded.info->devModeSize, n);
        EXPECT_EQ(decoded.info->driverPrivateSize, c.record.dmDriverExtra);
        EXPECT_EQ(decoded.info->fullDeviceName, c.tail);
    }
}

TEST(EncodeDeviceInfo, BytesOfTheDocumentedExamples) {
    const Bytes shortName = MakeBlock({u"Office Laser"});
    const std::u16string officeLaser = u"Office Laser";
    const Bytes plain = EncodeDeviceInfo(shortName.data(), shortName.size(), &officeLaser, kPlainComparison).bytes;
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 4), (Bytes{0xDC, 0x00, 0x00, 0x00}));

    const std::u16string forty = Repeat(40);
    const Bytes cut = MakeBlock({forty.substr(0, 31)});
    const Bytes tailed = EncodeDeviceInfo(cut.data(), cut.size(), &forty, kPlainComparison).bytes;
    ASSERT_EQ(tailed.size(), 224u + 2 + 82);
    EXPECT_EQ(tailed[224], 0x52);
    EXPECT_EQ(tailed[225], 0x00);
    EXPECT_EQ(tailed[226], 'A');
    EXPECT_EQ(tailed[227], 0x00);
    EXPECT_EQ(Bytes(tailed.end() - 2, tailed.end()), (Bytes{0x00, 0x00}));
}

TEST(EncodeDeviceInfo, ComparesTheRecordNameAsAtMost32UnitsUpToItsNul) {
    const std::u16string full = Repeat(40);
    struct Case {
        RecordShape record;
        std::u16string compared;
    };
    const Case cases[] = {
        {{full}, full.substr(0, 32)},  // no terminator inside the field
        {{u"Short"}, u"Short"},
    };
    for (const Case& c : cases) {
        Bytes block = MakeBlock(c.record);
        // Bytes after the NUL are the driver's leftovers, not part of the name.
        if (c.record.name.size() < 32)
            PutU16(block, 2 * (c.record.name.size() + 1), u'X');
        const ScriptedComparison comparison(0);
        const EncodeResult result = EncodeDeviceInfo(block.data(), block.size(), &full, comparison);
        ASSERT_EQ(comparison.calls.size(), 1u);
        EXPECT_EQ(comparison.calls[0].first, c.compared);
        EXPECT_EQ(comparison.calls[0].second, full);
        // The platform's comparison decides, even against plain equality.
        EXPECT_EQ(result.bytes.size(), 224u);
    }
}

TEST(EncodeDeviceInfo, RefusesWhatWouldReadPastTheBlockOrWriteACorruptFile) {
    const std::u16string tooLong = Repeat(32767);
    struct Case {
        const char* what;
        Bytes block;
        const std::u16string* fullName;
        int comparisonResult;
        std::optional<EncodeFailure> failure;
    };
    Bytes tiny = MakeBlock({u"P"});
    tiny.resize(71);
    Bytes missingOne = MakeBlock({u"P", 220, 10});
    missingOne.pop_back();
    const Case cases[] = {
        {"block shorter than the size fields", tiny, nullptr, 1, EncodeFailure::RecordTooSmall},
        {"dmSize cannot hold its own fields", MakeBlock({u"P", 71, 10}), nullptr, 1, EncodeFailure::RecordTooSmall},
        {"record one byte longer than the block", missingOne, nullptr, 1, EncodeFailure::RecordExceedsBlock},
        {"full name whose size would wrap", MakeBlock({u"P"}), &tooLong, 1, EncodeFailure::FullNameTooLong},
        // Such a name is refused only when it would be written.
        {"overlong name equal under the comparison", MakeBlock({u"P"}), &tooLong, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScriptedComparison comparison(c.comparisonResult);
        const EncodeResult result = EncodeDeviceInfo(c.block.data(), c.block.size(), c.fullName, comparison);
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.bytes.empty(), c.failure.has_value());
    }
    EXPECT_EQ(EncodeDeviceInfo(nullptr, 0, nullptr, kPlainComparison).failure, EncodeFailure::RecordTooSmall);
}

// A record with every field a reader looks at set to a value of its own.
Bytes MakeFullRecordFile() {
    Bytes block = MakeBlock({u"Label Printer", 220, 8});
    PutU16(block, 64, 0x0401);
    PutU16(block, 66, 0x0600);
    PutU32(block, 72, 0x0001FF1F);
    const std::int16_t values[] = {2, 9, 2970, 2100, 100, 3, 7, -4, 2, 3, 600, 2, 1};
    for (std::size_t i = 0; i < 13; ++i)
        PutU16(block, 76 + 2 * i, static_cast<std::uint16_t>(values[i]));
    const std::u16string form = u"A4";
    for (std::size_t i = 0; i < form.size(); ++i)
        PutU16(block, 102 + 2 * i, form[i]);
    const std::u16string full = u"\\\\print-server\\Label Printer on the second floor";
    // Written by hand, so a fault the encoder shares with the decoder shows.
    return MakeDeviceInfoFile(block, 228, &full);
}

TEST(DecodeDeviceInfo, ReadsEveryPublicFieldAReaderCaresAbout) {
    const Bytes file = MakeFullRecordFile();
    const DecodeResult result = DecodeDeviceInfo(file.data(), file.size());
    ASSERT_TRUE(result.info) << result.error->message;
    const DeviceInfo& info = *result.info;
    const DevModeFields& r = info.record;
    EXPECT_EQ(info.fileSize, file.size());
    EXPECT_EQ(info.devModeSize, 228u);
    EXPECT_EQ(r.dmDeviceName, u"Label Printer");
    EXPECT_EQ(r.dmSpecVersion, 0x0401);
    EXPECT_EQ(r.dmDriverVersion, 0x0600);
    EXPECT_EQ(r.dmSize, 220);
    EXPECT_EQ(r.dmDriverExtra, 8);
    EXPECT_EQ(r.dmFields, 0x0001FF1Fu);
    EXPECT_EQ(r.dmOrientation, 2);
    EXPECT_EQ(r.dmPaperSize, 9);
    EXPECT_EQ(r.dmPaperLength, 2970);
    EXPECT_EQ(r.dmPaperWidth, 2100);
    EXPECT_EQ(r.dmScale, 100);
    EXPECT_EQ(r.dmCopies, 3);
    EXPECT_EQ(r.dmDefaultSource, 7);
    EXPECT_EQ(r.dmPrintQuality, -4);
    EXPECT_EQ(r.dmColor, 2);
    EXPECT_EQ(r.dmDuplex, 3);
    EXPECT_EQ(r.dmYResolution, 600);
    EXPECT_EQ(r.dmTTOption, 2);
    EXPECT_EQ(r.dmCollate, 1);
    EXPECT_EQ(r.dmFormName, u"A4");
    EXPECT_EQ(info.driverPrivateOffset, 224u);
    EXPECT_EQ(info.driverPrivateSize, 8u);
    EXPECT_EQ(info.fullDeviceName, u"\\\\print-server\\Label Printer on the second floor");
}

TEST(DecodeDeviceInfo, ReadsOnlyTheFieldsDmSizeCovers) {
    struct Case {
        std::uint16_t dmSize;
        bool hasFields, hasOrientation, hasCollate, hasFormName;
    };
    const Case cases[] = {
        {72, false, false, false, false}, {76, true, false, false, false}, {78, true, true, false, false},
        {102, true, true, true, false},   {165, true, true, true, false},  {166, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dmSize);
        const Bytes file = MakeDeviceInfoFile(MakeBlock({u"P", c.dmSize, 40}), c.dmSize + 40u);
        const DecodeResult result = DecodeDeviceInfo(file.data(), file.size());
        ASSERT_TRUE(result.info) << result.error->message;
        const DevModeFields& r = result.info->record;
        EXPECT_EQ(r.dmFields.has_value(), c.hasFields);
        EXPECT_EQ(r.dmOrientation.has_value(), c.hasOrientation);
        EXPECT_EQ(r.dmCollate.has_value(), c.hasCollate);
        EXPECT_EQ(r.dmFormName.has_value(), c.hasFormName);
        EXPECT_EQ(result.info->driverPrivateOffset, 4u + c.dmSize);
    }
}

// Hand-made files: DevModeSize, a record of that many bytes holding the given
// dmSize, dmDriverExtra and dmFields, then whatever tail bytes are given.
Bytes MakeFile(std::uint32_t devModeSize, std::uint16_t dmSize, std::uint16_t dmDriverExtra, std::uint32_t dmFields,
               const Bytes& tail = {}) {
    Bytes file(4, 0);
    PutU32(file, 0, devModeSize);
    Bytes record(std::max<std::size_t>(devModeSize, 76), 0);
    PutU16(record, 68, dmSize);
    PutU16(record, 70, dmDriverExtra);
    PutU32(record, 72, dmFields);
    record.resize(devModeSize);
    file.insert(file.end(), record.begin(), record.end());
    file.insert(file.end(), tail.begin(), tail.end());
    return file;
}

TEST(DecodeDeviceInfo, RejectsWhatWouldMisleadAReaderNamingTheOffset) {
    struct Case {
        const char* what;
        Bytes file;
        std::size_t offset;
        const char* says;
    };
    Bytes shortHeader = {0xDC, 0x00, 0x00};
    Bytes truncated = MakeFile(220, 220, 0, 0);
    truncated.resize(4 + 100);
    // 4 + 0xFFFFFFFF wraps to 3 in 32-bit arithmetic, and this file is longer.
    Bytes hugeSize = MakeFile(220, 220, 0, 0);
    PutU32(hugeSize, 0, 0xFFFFFFFF);
    const Case cases[] = {
        {"no room for DevModeSize", shortHeader, 0, "DevModeSize"},
        {"DevModeSize below the size fields", MakeFile(60, 220, 0, 0), 0, "smaller than the 72"},
        {"file shorter than its header says", truncated, 0, "shorter than its header says"},
        // 4 + 0xFFFFFFFC wraps to 0 in 32-bit arithmetic.
        {"DevModeSize near 2^32 in a 4-byte file", {0xFC, 0xFF, 0xFF, 0xFF}, 0, "needs 4294967296 bytes"},
        {"DevModeSize 2^32 - 1 before a whole record", hugeSize, 0, "needs 4294967299 bytes"},
        {"dmSize below its own fields", MakeFile(80, 70, 10, 0), 72, "dmSize 70"},
        {"DevModeSize disagrees with the record", MakeFile(220, 200, 10, 0), 0, "disagrees with dmSize 200"},
        {"one stray byte after the record", MakeFile(220, 220, 0, 0, {0x52}), 224, "FullNameSize"},
        {"tail size larger than the bytes left", MakeFile(220, 220, 0, 0, {0x52, 0x00, 'A', 0, 0, 0}), 224,
         "disagrees with the 4 bytes"},
        {"bytes after a whole tail", MakeFile(220, 220, 0, 0, {0x02, 0x00, 0, 0, 0xFF}), 224,
         "disagrees with the 3 bytes"},
        {"odd tail size", MakeFile(220, 220, 0, 0, {0x03, 0x00, 'A', 0, 0}), 224, "odd"},
        {"tail without its NUL", MakeFile(220, 220, 0, 0, {0x04, 0x00, 'A', 0, 'B', 0}), 228, "NUL"},
        {"tail of size 0", MakeFile(220, 220, 0, 0, {0x00, 0x00}), 224, "NUL"},
        {"NUL inside the full name", MakeFile(220, 220, 0, 0, {0x06, 0x00, 'A', 0, 0, 0, 0, 0}), 228, "code unit 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeResult result = DecodeDeviceInfo(c.file.data(), c.file.size());
        ASSERT_TRUE(result.error);
        EXPECT_FALSE(result.info);
        EXPECT_EQ(result.error->offset, c.offset);
        EXPECT_NE(result.error->message.find(c.says), std::string::npos) << result.error->message;
    }
}

// Drivers do set bits for fields their dmSize leaves out. The save writes
// such a record as it is, so reading it back must succeed, with a warning
// that names each such bit.
TEST(DeviceInfoFormat, ARecordClaimingFieldsPastDmSizeIsWrittenAndReadBackWithWarnings) {
    struct Case {
        const char* what;
        std::uint16_t dmSize;
        std::uint32_t dmFields;
        std::vector<std::string> warned;
    };
    const Case cases[] = {
        {"form name bit with dmSize 156", 156, 0x00010003, {"DM_FORMNAME"}},
        {"duplex bit, dmSize ends inside duplex", 95, 0x00001000, {"DM_DUPLEX"}},
        {"two bits past a short record", 150, 0x00410000, {"DM_FORMNAME", "DM_DISPLAYFREQUENCY"}},
        {"duplex ends exactly at dmSize", 96, 0x00001000, {}},
        {"bits no field stands for", 76, 0xC0000000, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes block = MakeBlock({u"P", c.dmSize, 20});
        PutU32(block, 72, c.dmFields);
        const EncodeResult file = EncodeDeviceInfo(block.data(), block.size(), nullptr, kPlainComparison);
        ASSERT_FALSE(file.failure);
        const DecodeResult result = DecodeDeviceInfo(file.bytes.data(), file.bytes.size());
        ASSERT_TRUE(result.info) << result.error->message;
        EXPECT_EQ(result.info->record.dmFields, c.dmFields);
        std::vector<std::string> warned;
        for (const DecodeWarning& warning : result.info->warnings) {
            EXPECT_EQ(warning.offset, 76u);
            // "dmFields sets NAME (...": the bit's name is the third word.
            const std::size_t name = std::string("dmFields sets ").size();
            warned.push_back(warning.message.substr(name, warning.message.find(' ', name) - name));
        }
        EXPECT_EQ(warned, c.warned);
    }
}

// Every cut-short copy of a valid file is either the same file without its
// tail or rejected, and none is read past its end (sanitizer builds catch
// that; elsewhere a wrong read shows as a wrong verdict).
TEST(DecodeDeviceInfo, EveryTruncationIsRejectedSaveTheTaillessFile) {
    const Bytes file = MakeFullRecordFile();
    for (std::size_t size = 0; size < file.size(); ++size) {
        const Bytes cut(file.begin(), file.begin() + size);
        const DecodeResult result = DecodeDeviceInfo(cut.data(), cut.size());
        EXPECT_EQ(result.info.has_value(), size == 4 + 228u) << "size " << size;
    }
}

}  // namespace
}  // namespace ikw
