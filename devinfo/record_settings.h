#pragma once
// The settings a device settings record can carry, one row for each dmFields
// bit: everything the decoder, the record fitting, the open's messages and
// the tools know about a setting comes from this table, so a name, an offset
// or a bit is written down once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "res/resource.h"

namespace ikw {

// How a reader of .dev files takes a setting's bytes.
enum class SettingValue {
    Int16,  // a 16-bit signed number the decoder reads and the tools show
    Name,   // a name of kDmNameUnits UTF-16 units, up to its first NUL
    Bytes,  // read by no one here (display fields, structures): compared as bytes
};

struct RecordSetting {
    std::uint32_t bit;      // its dmFields bit
    const char* win32Name;  // "DM_ORIENTATION"
    const char* field;      // "dmOrientation", the record's name for it
    std::size_t offset;     // where it starts in the record
    std::size_t size;       // in bytes
    SettingValue value;
    unsigned nameId;  // the plain name users see: "orientation"

    constexpr std::size_t End() const { return offset + size; }
};

// Layout of DEVMODEW as the Win32 headers define it, in dmFields bit order.
// The display fields share bytes with the printer ones (the unions at 76, 88
// and 180), which is why two bits can vouch for one place.
inline constexpr std::array<RecordSetting, 30> kRecordSettings = {{
    {0x00000001, "DM_ORIENTATION", "dmOrientation", 76, 2, SettingValue::Int16, IDS_SETTING_ORIENTATION},
    {0x00000002, "DM_PAPERSIZE", "dmPaperSize", 78, 2, SettingValue::Int16, IDS_SETTING_PAPER},
    {0x00000004, "DM_PAPERLENGTH", "dmPaperLength", 80, 2, SettingValue::Int16, IDS_SETTING_PAPER_LENGTH},
    {0x00000008, "DM_PAPERWIDTH", "dmPaperWidth", 82, 2, SettingValue::Int16, IDS_SETTING_PAPER_WIDTH},
    {0x00000010, "DM_SCALE", "dmScale", 84, 2, SettingValue::Int16, IDS_SETTING_SCALE},
    {0x00000020, "DM_POSITION", "dmPosition", 76, 8, SettingValue::Bytes, IDS_SETTING_POSITION},
    {0x00000040, "DM_NUP", "dmNup", 180, 4, SettingValue::Bytes, IDS_SETTING_PAGES_PER_SHEET},
    {0x00000080, "DM_DISPLAYORIENTATION", "dmDisplayOrientation", 84, 4, SettingValue::Bytes,
     IDS_SETTING_SCREEN_ORIENTATION},
    {0x00000100, "DM_COPIES", "dmCopies", 86, 2, SettingValue::Int16, IDS_SETTING_COPIES},
    {0x00000200, "DM_DEFAULTSOURCE", "dmDefaultSource", 88, 2, SettingValue::Int16, IDS_SETTING_SOURCE},
    {0x00000400, "DM_PRINTQUALITY", "dmPrintQuality", 90, 2, SettingValue::Int16, IDS_SETTING_RESOLUTION},
    {0x00000800, "DM_COLOR", "dmColor", 92, 2, SettingValue::Int16, IDS_SETTING_COLOR},
    {0x00001000, "DM_DUPLEX", "dmDuplex", 94, 2, SettingValue::Int16, IDS_SETTING_DUPLEX},
    {0x00002000, "DM_YRESOLUTION", "dmYResolution", 96, 2, SettingValue::Int16, IDS_SETTING_Y_RESOLUTION},
    {0x00004000, "DM_TTOPTION", "dmTTOption", 98, 2, SettingValue::Int16, IDS_SETTING_TRUETYPE},
    {0x00008000, "DM_COLLATE", "dmCollate", 100, 2, SettingValue::Int16, IDS_SETTING_COLLATION},
    {0x00010000, "DM_FORMNAME", "dmFormName", 102, 64, SettingValue::Name, IDS_SETTING_FORM_NAME},
    {0x00020000, "DM_LOGPIXELS", "dmLogPixels", 166, 2, SettingValue::Bytes, IDS_SETTING_SCREEN_DPI},
    {0x00040000, "DM_BITSPERPEL", "dmBitsPerPel", 168, 4, SettingValue::Bytes, IDS_SETTING_COLOR_DEPTH},
    {0x00080000, "DM_PELSWIDTH", "dmPelsWidth", 172, 4, SettingValue::Bytes, IDS_SETTING_SCREEN_WIDTH},
    {0x00100000, "DM_PELSHEIGHT", "dmPelsHeight", 176, 4, SettingValue::Bytes, IDS_SETTING_SCREEN_HEIGHT},
    {0x00200000, "DM_DISPLAYFLAGS", "dmDisplayFlags", 180, 4, SettingValue::Bytes, IDS_SETTING_SCREEN_MODE},
    {0x00400000, "DM_DISPLAYFREQUENCY", "dmDisplayFrequency", 184, 4, SettingValue::Bytes, IDS_SETTING_REFRESH_RATE},
    {0x00800000, "DM_ICMMETHOD", "dmICMMethod", 188, 4, SettingValue::Bytes, IDS_SETTING_COLOR_MANAGEMENT},
    {0x01000000, "DM_ICMINTENT", "dmICMIntent", 192, 4, SettingValue::Bytes, IDS_SETTING_COLOR_RENDERING},
    {0x02000000, "DM_MEDIATYPE", "dmMediaType", 196, 4, SettingValue::Bytes, IDS_SETTING_PAPER_TYPE},
    {0x04000000, "DM_DITHERTYPE", "dmDitherType", 200, 4, SettingValue::Bytes, IDS_SETTING_HALFTONING},
    {0x08000000, "DM_PANNINGWIDTH", "dmPanningWidth", 212, 4, SettingValue::Bytes, IDS_SETTING_PANNING_WIDTH},
    {0x10000000, "DM_PANNINGHEIGHT", "dmPanningHeight", 216, 4, SettingValue::Bytes, IDS_SETTING_PANNING_HEIGHT},
    {0x20000000, "DM_DISPLAYFIXEDOUTPUT", "dmDisplayFixedOutput", 88, 4, SettingValue::Bytes,
     IDS_SETTING_SCREEN_SCALING},
}};

// The row of the field the record calls so. A name no row has does not
// compile where the call is a constant expression, and is a fault anywhere.
constexpr const RecordSetting& RecordSettingOf(std::string_view field) {
    for (const RecordSetting& setting : kRecordSettings)
        if (field == setting.field)
            return setting;
    throw "no such setting in the record";  // in a constant expression: a compile error
}

// The one name among the settings: the decoder and the tools read it apart
// from the numbers.
inline constexpr const RecordSetting& kFormNameSetting = RecordSettingOf("dmFormName");
inline constexpr std::uint32_t kDmFormNameBit = kFormNameSetting.bit;

}  // namespace ikw
