#include <gtest/gtest.h>

#include <set>
#include <string>

#include "devinfo/message_texts.h"
#include "devinfo/record_settings.h"

#ifdef _WIN32
#include <windows.h>

#include <cstddef>
#endif

namespace ikw {
namespace {

// Each row vouches for a field by one bit of dmFields that no other row
// uses: a bit shared or mistyped would name the wrong setting.
TEST(RecordSettings, EachRowHasADmFieldsBitOfItsOwn) {
    std::uint32_t seen = 0;
    for (const RecordSetting& setting : kRecordSettings) {
        SCOPED_TRACE(setting.win32Name);
        EXPECT_TRUE(setting.bit != 0 && (setting.bit & (setting.bit - 1)) == 0) << "not a single bit";
        EXPECT_EQ(seen & setting.bit, 0u) << "bit used twice";
        seen |= setting.bit;
    }
}

// A name with a built-in English text is in both string tables: the
// resource test reads every built-in text back in both languages.
TEST(RecordSettings, EachRowHasAPlainNameOfItsOwn) {
    std::set<std::u16string_view> names;
    for (const RecordSetting& setting : kRecordSettings) {
        SCOPED_TRACE(setting.win32Name);
        EXPECT_FALSE(BuiltInText(setting.nameId).empty());
        EXPECT_TRUE(names.insert(BuiltInText(setting.nameId)).second) << "name given to two settings";
    }
}

#ifdef _WIN32
// The platform's own record is the judge of where a field lies and how long
// it is.
TEST(RecordSettings, EachRowLiesWhereTheWin32RecordHasItsField) {
#define IKW_FIELD(member) \
    { #member, offsetof(DEVMODEW, member), sizeof(DEVMODEW::member) }
    const struct {
        const char* field;
        std::size_t offset, size;
    } fields[] = {
        IKW_FIELD(dmOrientation),
        IKW_FIELD(dmPaperSize),
        IKW_FIELD(dmPaperLength),
        IKW_FIELD(dmPaperWidth),
        IKW_FIELD(dmScale),
        IKW_FIELD(dmPosition),
        IKW_FIELD(dmNup),
        IKW_FIELD(dmDisplayOrientation),
        IKW_FIELD(dmCopies),
        IKW_FIELD(dmDefaultSource),
        IKW_FIELD(dmPrintQuality),
        IKW_FIELD(dmColor),
        IKW_FIELD(dmDuplex),
        IKW_FIELD(dmYResolution),
        IKW_FIELD(dmTTOption),
        IKW_FIELD(dmCollate),
        IKW_FIELD(dmFormName),
        IKW_FIELD(dmLogPixels),
        IKW_FIELD(dmBitsPerPel),
        IKW_FIELD(dmPelsWidth),
        IKW_FIELD(dmPelsHeight),
        IKW_FIELD(dmDisplayFlags),
        IKW_FIELD(dmDisplayFrequency),
        IKW_FIELD(dmICMMethod),
        IKW_FIELD(dmICMIntent),
        IKW_FIELD(dmMediaType),
        IKW_FIELD(dmDitherType),
        IKW_FIELD(dmPanningWidth),
        IKW_FIELD(dmPanningHeight),
        IKW_FIELD(dmDisplayFixedOutput),
    };
#undef IKW_FIELD
    ASSERT_EQ(std::size(fields), kRecordSettings.size());
    for (const auto& field : fields) {
        SCOPED_TRACE(field.field);
        const RecordSetting& setting = RecordSettingOf(field.field);
        EXPECT_EQ(setting.offset, field.offset);
        EXPECT_EQ(setting.size, field.size);
    }
}
#endif

}  // namespace
}  // namespace ikw
