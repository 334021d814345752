#include <gtest/gtest.h>

#include "help/help_request.h"

namespace ikw {
namespace {

constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kGerman = 0x0407;
constexpr uint16_t kJapanese = 0x0411;
constexpr uint16_t kJapaneseNeutral = 0x0011;
const std::u16string kExe = u"C:\\Program Files (x86)\\IKWDev\\IKWDev.exe";
const std::u16string kChm = u"C:\\Program Files (x86)\\IKWDev\\IKWDev.chm";

TEST(HtmlHelpFilePath, IsTheFixedNameBesideTheExecutable) {
    EXPECT_EQ(HtmlHelpFilePath(kExe), kChm);
    // A renamed executable still finds the file it shipped with.
    EXPECT_EQ(HtmlHelpFilePath(u"D:\\tools\\printer-setup.exe"), u"D:\\tools\\IKWDev.chm");
    EXPECT_EQ(HtmlHelpFilePath(u"Z:/build/win64/IKWDev.exe"), u"Z:/build/win64/IKWDev.chm");
    EXPECT_EQ(HtmlHelpFilePath(u"IKWDev.exe"), u"IKWDev.chm");
}

TEST(HtmlHelpTarget, NamesThePageOfTheWindowInTheInterfaceLanguage) {
    struct Case {
        const char* name;
        std::optional<uint32_t> context;
        uint16_t language;
        std::u16string expected;
    };
    const Case cases[] = {
        {"setup dialog, English", kPrintSetupHelpContext, kEnglishUs, kChm + u"::/en/setup_dialog.htm"},
        {"setup dialog, Japanese", kPrintSetupHelpContext, kJapanese, kChm + u"::/ja/setup_dialog.htm"},
        {"setup dialog, Japanese without region", kPrintSetupHelpContext, kJapaneseNeutral,
         kChm + u"::/ja/setup_dialog.htm"},
        // No German page: German reads the English one, as it reads the English strings.
        {"setup dialog, German", kPrintSetupHelpContext, kGerman, kChm + u"::/en/setup_dialog.htm"},
        // The print dialog's context has no page of its own: the file's default topic.
        {"print dialog", 0x7008, kJapanese, kChm},
        {"no main window", std::nullopt, kEnglishUs, kChm},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto target = HtmlHelpTarget(kExe, c.context, c.language, true);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(*target, c.expected);
    }
}

TEST(HtmlHelpTarget, IsNoneWithoutTheHelpFileSoTheOldViewerIsAsked) {
    EXPECT_FALSE(HtmlHelpTarget(kExe, kPrintSetupHelpContext, kEnglishUs, false).has_value());
    EXPECT_FALSE(HtmlHelpTarget(kExe, std::nullopt, kJapanese, false).has_value());
}

}  // namespace
}  // namespace ikw
