#pragma once
// Which help the Help command shows. The help ships beside the executable as
// one HTML Help file per language, each with its own title, contents and
// first page, the way localized Windows help is shipped; when no help file
// is there, the program asks the old WinHelp viewer as it always did.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ikw {

// The help context of the print setup dialog: the application hands it to the
// dialog, and the dialog reports it back when its Help button is pressed.
constexpr uint32_t kPrintSetupHelpContext = 0x7009;

// What to hand the HTML Help viewer: "<help file>::/<language>/<page>" for a
// window with a topic of its own, the file alone (its default topic) for any
// other. The help file is the interface language's, beside the executable:
// IKWDev-ja.chm on a Japanese interface, IKWDev.chm (English) on any other,
// as the string table's language is picked. Without it the English one is
// shown, so a Japanese user who kept only IKWDev.chm still reads the help.
// None when neither is a file: then the WinHelp call of old.
// windowHelpContext: the main window's help context, none without a main
// window. uiLanguage: the interface language's LANGID. isFile: whether a path
// names a file.
std::optional<std::u16string> HtmlHelpTarget(const std::u16string& executablePath,
                                             std::optional<uint32_t> windowHelpContext, uint16_t uiLanguage,
                                             const std::function<bool(const std::u16string&)>& isFile);

}  // namespace ikw
