#include "tools/ikwdev-inspect/text_format.h"

#include <cstdio>

#include "tools/console/text.h"

namespace ikw::inspect {

namespace {

// What the common values of the public fields mean, as the Win32 headers
// name them; drivers define their own from 256 up.
struct ValueLabel {
    const char* field;
    int value;
    const char* label;
};
constexpr ValueLabel kValueLabels[] = {
    {"dmOrientation", 1, "portrait"},
    {"dmOrientation", 2, "landscape"},
    {"dmPaperSize", 1, "Letter"},
    {"dmPaperSize", 3, "Tabloid"},
    {"dmPaperSize", 5, "Legal"},
    {"dmPaperSize", 7, "Executive"},
    {"dmPaperSize", 8, "A3"},
    {"dmPaperSize", 9, "A4"},
    {"dmPaperSize", 11, "A5"},
    {"dmPaperSize", 12, "B4 (JIS)"},
    {"dmPaperSize", 13, "B5 (JIS)"},
    {"dmPaperSize", 20, "Envelope #10"},
    {"dmPaperSize", 27, "Envelope DL"},
    {"dmPaperSize", 43, "Japanese postcard"},
    {"dmPaperSize", 70, "A6"},
    {"dmDefaultSource", 1, "upper tray"},
    {"dmDefaultSource", 2, "lower tray"},
    {"dmDefaultSource", 3, "middle tray"},
    {"dmDefaultSource", 4, "manual feed"},
    {"dmDefaultSource", 5, "envelope"},
    {"dmDefaultSource", 6, "envelope, manual feed"},
    {"dmDefaultSource", 7, "automatic"},
    {"dmDefaultSource", 8, "tractor"},
    {"dmDefaultSource", 9, "small format"},
    {"dmDefaultSource", 10, "large format"},
    {"dmDefaultSource", 11, "large capacity"},
    {"dmDefaultSource", 14, "cassette"},
    {"dmDefaultSource", 15, "by form"},
    {"dmPrintQuality", -1, "draft"},
    {"dmPrintQuality", -2, "low"},
    {"dmPrintQuality", -3, "medium"},
    {"dmPrintQuality", -4, "high"},
    {"dmColor", 1, "monochrome"},
    {"dmColor", 2, "color"},
    {"dmDuplex", 1, "one-sided"},
    {"dmDuplex", 2, "two-sided, long edge"},
    {"dmDuplex", 3, "two-sided, short edge"},
    {"dmTTOption", 1, "TrueType as bitmaps"},
    {"dmTTOption", 2, "TrueType downloaded"},
    {"dmTTOption", 3, "device fonts substituted"},
    {"dmTTOption", 4, "TrueType downloaded as outlines"},
    {"dmCollate", 0, "off"},
    {"dmCollate", 1, "on"},
};

}  // namespace

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string DescribeValue(const std::string& field, std::int16_t value) {
    const std::string number = std::to_string(value);
    for (const ValueLabel& label : kValueLabels)
        if (field == label.field && value == label.value)
            return number + " (" + label.label + ")";
    if ((field == "dmPaperSize" || field == "dmDefaultSource") && value >= 256)
        return number + " (the driver's own)";
    if ((field == "dmPrintQuality" && value > 0) || field == "dmYResolution")
        return number + " dpi";
    if (field == "dmScale")
        return number + " %";
    if (field == "dmPaperLength" || field == "dmPaperWidth") {
        // Tenths of a millimetre.
        const int magnitude = value < 0 ? -value : value;
        char text[32];
        std::snprintf(text, sizeof text, " (%s%d.%d mm)", value < 0 ? "-" : "", magnitude / 10, magnitude % 10);
        return number + text;
    }
    return number;
}

std::string JsonNumberOrNull(const std::optional<long long>& value) { return value ? std::to_string(*value) : "null"; }

std::string JsonProblemMembers(const std::u16string& file, const std::string& problem,
                               std::optional<std::size_t> offset) {
    return "\"file\":" + console::QuoteForJson(file) +
           ",\"valid\":false,\"error\":" + console::QuoteForJson(console::FromUtf8(problem)) +
           ",\"offset\":" + (offset ? std::to_string(*offset) : "null");
}

}  // namespace ikw::inspect
