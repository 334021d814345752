#include <gtest/gtest.h>

#include <set>

#include "help/help_request.h"

namespace ikw {
namespace {

constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint16_t kGerman = 0x0407;
constexpr uint16_t kJapanese = 0x0411;
constexpr uint16_t kJapaneseNeutral = 0x0011;
const std::u16string kFolder = u"C:\\Program Files (x86)\\IKWDev\\";
const std::u16string kExe = kFolder + u"IKWDev.exe";
const std::u16string kEnglishChm = kFolder + u"IKWDev.chm";
const std::u16string kJapaneseChm = kFolder + u"IKWDev-ja.chm";

std::function<bool(const std::u16string&)> FilesAre(std::set<std::u16string> files) {
    return [files](const std::u16string& path) { return files.count(path) > 0; };
}

TEST(HtmlHelpTarget, OpensTheInterfaceLanguagesHelpOnTheWindowsPage) {
    struct Case {
        const char* name;
        std::optional<uint32_t> context;
        uint16_t language;
        std::u16string expected;
    };
    const Case cases[] = {
        {"setup dialog, English", kPrintSetupHelpContext, kEnglishUs, kEnglishChm + u"::/en/setup_dialog.htm"},
        {"setup dialog, Japanese", kPrintSetupHelpContext, kJapanese, kJapaneseChm + u"::/ja/setup_dialog.htm"},
        {"setup dialog, Japanese without region", kPrintSetupHelpContext, kJapaneseNeutral,
         kJapaneseChm + u"::/ja/setup_dialog.htm"},
        // No German help: German reads the English one, as it reads the English strings.
        {"setup dialog, German", kPrintSetupHelpContext, kGerman, kEnglishChm + u"::/en/setup_dialog.htm"},
        // The print dialog's context has no page of its own: the file's
        // default topic, which is the language's own first page.
        {"print dialog, Japanese", 0x7008, kJapanese, kJapaneseChm},
        {"print dialog, English", 0x7008, kEnglishUs, kEnglishChm},
        {"no main window, Japanese", std::nullopt, kJapanese, kJapaneseChm},
        {"no main window, English", std::nullopt, kEnglishUs, kEnglishChm},
    };
    const auto bothFiles = FilesAre({kEnglishChm, kJapaneseChm});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto target = HtmlHelpTarget(kExe, c.context, c.language, bothFiles);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(*target, c.expected);
    }
}

TEST(HtmlHelpTarget, LooksBesideTheExecutableWhateverItsName) {
    const auto target = HtmlHelpTarget(u"D:\\tools\\printer-setup.exe", kPrintSetupHelpContext, kJapanese,
                                       FilesAre({u"D:\\tools\\IKWDev.chm", u"D:\\tools\\IKWDev-ja.chm"}));
    EXPECT_EQ(target, u"D:\\tools\\IKWDev-ja.chm::/ja/setup_dialog.htm");
    EXPECT_EQ(HtmlHelpTarget(u"Z:/build/win64/IKWDev.exe", std::nullopt, kEnglishUs,
                             FilesAre({u"Z:/build/win64/IKWDev.chm"})),
              u"Z:/build/win64/IKWDev.chm");
    EXPECT_EQ(HtmlHelpTarget(u"IKWDev.exe", std::nullopt, kEnglishUs, FilesAre({u"IKWDev.chm"})), u"IKWDev.chm");
}

TEST(HtmlHelpTarget, FallsBackToTheEnglishHelpThenToTheOldViewer) {
    // Only the English file kept: a Japanese interface reads it, on its English page.
    EXPECT_EQ(HtmlHelpTarget(kExe, kPrintSetupHelpContext, kJapanese, FilesAre({kEnglishChm})),
              kEnglishChm + u"::/en/setup_dialog.htm");
    // The Japanese file is never shown to another language.
    EXPECT_FALSE(HtmlHelpTarget(kExe, kPrintSetupHelpContext, kEnglishUs, FilesAre({kJapaneseChm})).has_value());
    // No help file at all: none, so the WinHelp viewer is asked.
    EXPECT_FALSE(HtmlHelpTarget(kExe, kPrintSetupHelpContext, kJapanese, FilesAre({})).has_value());
    EXPECT_FALSE(HtmlHelpTarget(kExe, std::nullopt, kEnglishUs, FilesAre({})).has_value());
}

}  // namespace
}  // namespace ikw
