#include "help/help_request.h"

namespace ikw {
namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kLangJapanese = 0x11;

struct HelpLanguage {
    const char16_t* fileName;
    const char16_t* pageFolder;
};

constexpr HelpLanguage kEnglishHelp = {u"IKWDev.chm", u"en/"};
constexpr HelpLanguage kJapaneseHelp = {u"IKWDev-ja.chm", u"ja/"};

// Every language but Japanese reads the English help, as it reads the
// English strings.
const HelpLanguage& HelpLanguageOf(uint16_t uiLanguage) {
    return (uiLanguage & kPrimaryLanguageMask) == kLangJapanese ? kJapaneseHelp : kEnglishHelp;
}

std::u16string FolderOf(const std::u16string& executablePath) {
    const auto separator = executablePath.find_last_of(u"\\/");
    return executablePath.substr(0, separator == std::u16string::npos ? 0 : separator + 1);
}

// chmcmd records the alias table with absolute paths of the build machine,
// so the viewer cannot resolve a context number: the program names the page
// instead.
std::u16string TopicPage(std::optional<uint32_t> helpContext, const HelpLanguage& language) {
    if (helpContext != kPrintSetupHelpContext)
        return u"";
    return std::u16string(language.pageFolder) + u"setup_dialog.htm";
}

}  // namespace

std::optional<std::u16string> HtmlHelpTarget(const std::u16string& executablePath,
                                             std::optional<uint32_t> windowHelpContext, uint16_t uiLanguage,
                                             const std::function<bool(const std::u16string&)>& isFile) {
    for (const HelpLanguage* language : {&HelpLanguageOf(uiLanguage), &kEnglishHelp}) {
        const std::u16string file = FolderOf(executablePath) + language->fileName;
        if (!isFile(file))
            continue;
        const std::u16string page = TopicPage(windowHelpContext, *language);
        return page.empty() ? file : file + u"::/" + page;
    }
    return std::nullopt;
}

}  // namespace ikw
