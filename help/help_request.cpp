#include "help/help_request.h"

namespace ikw {
namespace {

constexpr char16_t kHtmlHelpFileName[] = u"IKWDev.chm";
constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kLangJapanese = 0x11;

// chmcmd records the alias table with absolute paths of the build machine,
// so the viewer cannot resolve a context number: the program names the page
// instead. Every language but Japanese reads the English page, as it reads
// the English strings.
std::u16string TopicPage(uint32_t helpContext, uint16_t uiLanguage) {
    if (helpContext != kPrintSetupHelpContext)
        return u"";
    const bool japanese = (uiLanguage & kPrimaryLanguageMask) == kLangJapanese;
    return japanese ? u"ja/setup_dialog.htm" : u"en/setup_dialog.htm";
}

}  // namespace

std::u16string HtmlHelpFilePath(const std::u16string& executablePath) {
    const auto separator = executablePath.find_last_of(u"\\/");
    const auto folderLength = separator == std::u16string::npos ? 0 : separator + 1;
    return executablePath.substr(0, folderLength) + kHtmlHelpFileName;
}

std::optional<std::u16string> HtmlHelpTarget(const std::u16string& executablePath,
                                             std::optional<uint32_t> windowHelpContext, uint16_t uiLanguage,
                                             bool htmlHelpFileExists) {
    if (!htmlHelpFileExists)
        return std::nullopt;
    std::u16string target = HtmlHelpFilePath(executablePath);
    const std::u16string page = windowHelpContext ? TopicPage(*windowHelpContext, uiLanguage) : u"";
    if (!page.empty())
        target += u"::/" + page;
    return target;
}

}  // namespace ikw
