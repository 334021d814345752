#pragma once
// Which help the Help command shows. The HTML Help file ships beside the
// executable, one page per topic and language; when it is missing, the
// program asks the old WinHelp viewer as it always did.

#include <cstdint>
#include <optional>
#include <string>

namespace ikw {

// The help context of the print setup dialog: the application hands it to the
// dialog, and the dialog reports it back when its Help button is pressed.
constexpr uint32_t kPrintSetupHelpContext = 0x7009;

// Where the HTML Help file is looked for: beside the executable.
std::u16string HtmlHelpFilePath(const std::u16string& executablePath);

// What to hand the HTML Help viewer: "<folder>\IKWDev.chm::/<language>/<page>"
// for a window with a topic of its own, the file alone (its default topic)
// for any other. None when the file is missing: then the WinHelp call of old.
// windowHelpContext: the main window's help context, none without a main
// window. uiLanguage: the interface language's LANGID, which picks the
// Japanese or the English page as the string table's language is picked.
// htmlHelpFileExists: whether HtmlHelpFilePath(executablePath) is a file.
std::optional<std::u16string> HtmlHelpTarget(const std::u16string& executablePath,
                                             std::optional<uint32_t> windowHelpContext, uint16_t uiLanguage,
                                             bool htmlHelpFileExists);

}  // namespace ikw
