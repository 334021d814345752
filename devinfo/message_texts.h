#pragma once
// The messages the program shows. Their texts come from the string table in
// the interface language; the English (United States) ones are built in as
// well, so a string missing from the resources still gives a whole message
// and never an empty box. The ids are the IDS_ names of res/resource.h.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "interfaces/string_table.h"
#include "res/resource.h"

namespace ikw {

struct MessageText {
    unsigned id;
    const char16_t* english;
};

// Every message text the code shows, with its English: the same texts as
// the English (United States) string table of res/ikwdev.rc. The resource
// check reads each id from the executable in both languages against this
// list, so the two stay alike.
inline constexpr MessageText kMessageTexts[] = {
    {IDS_USAGE,
     u"IKWDev opens one device info file at a time and was given more than one, so nothing was opened. Start it with "
     u"one file, or with none.\nusage : IKWDev [FILE]\nWithout FILE the print setup dialog box opens on the default "
     u"printer; with a device info file (.dev) it opens on the file's printer and settings."},
    {IDS_DEFAULT_NOT_RESTORED,
     u"To open the print setup dialog box, IKWDev made another printer the default printer for a moment, and could not "
     u"make your printer the default again. Choose your default printer in Windows (Printers & scanners, or Devices "
     u"and Printers).\ndefault printer error : %1 could not be made the default printer again. %2"},
    {IDS_NO_DEFAULT_TO_RESTORE,
     u"To open the print setup dialog box, IKWDev made a printer the default printer for a moment. There was no "
     u"default printer before, and Windows cannot be set back to having none. Choose your default printer in Windows "
     u"(Printers & scanners, or Devices and Printers).\ndefault printer error : there was no default printer when "
     u"IKWDev started. %1"},
    {IDS_NOW_DEFAULT, u"%1 is now the default printer."},
    {IDS_NOW_NO_DEFAULT, u"No printer is now the default printer."},
    {IDS_NOT_DEVICE_INFO,
     u"This file is not a device info file, or it is damaged, so it was not opened. Nothing was changed.\nnot a device "
     u"info file (%1) :%2"},
    {IDS_REASON_FILE_TOO_LONG, u"longer than any device info file can be"},
    {IDS_REASON_NO_PRINTER, u"it names no printer"},
    {IDS_PRINTER_NOT_INSTALLED,
     u"This file holds settings for a printer that is not installed on this computer, so it was not opened. Install "
     u"that printer, or open a file saved for an installed one.\nprinter not installed (%1) :%2"},
    {IDS_DRIVER_REFUSED,
     u"The printer's driver did not accept the settings in this file, so it was not opened. Nothing was "
     u"changed.\nsettings refused by the printer's driver (%1) :%2"},
    {IDS_DIALOG_FAILED,
     u"The print setup dialog box could not be opened with this file's settings. Nothing was changed.\nthe dialog box "
     u"could not open (%1) :%2"},
    {IDS_SETTINGS_RESET,
     u"Some settings in this file could not be used with this printer and were reset to the driver's defaults. Check "
     u"the settings before you save.\nsome settings in this file were reset (%1) :%2"},
    {IDS_PRIVATE_RESET,
     u"The driver's own settings in this file (what the printer's Properties pages set) were made by another version "
     u"of the driver, or for another printer, so they were reset to the driver's defaults."},
    {IDS_NO_FIELD_LIST,
     u"This file is cut short before the part that says which settings it holds, so none of its settings could be "
     u"used."},
    {IDS_FIELDS_DROPPED,
     u"These settings were reset, because the file does not hold them or this printer's driver has no place for them: "
     u"%1."},
    {IDS_FIELDS_KEPT, u"These settings were used from the file: %1."},
    {IDS_NOTHING_KEPT, u"None of the file's settings could be used."},
    {IDS_SAVING_AFTER_RESET,
     u"If you save over this file with [save], it gets the settings the dialog box shows, and the file's own values of "
     u"the reset settings are lost."},
    {IDS_LIST_SEPARATOR, u", "},
    {IDS_PRINTER_LIST_FAILED,
     u"The list of printers could not be read, so this file was not opened. Check that the print spooler is running, "
     u"then open the file again.\nprinter list could not be read (%1) :%2"},
    {IDS_PRINTER_LIST_FAILED_AT_START,
     u"The list of printers could not be read, so the print setup dialog box was not opened. Check that the print "
     u"spooler is running, then start IKWDev again.\nprinter list could not be read (%1)"},
    {IDS_OPENS_ON_DEFAULT, u"The print setup dialog box now opens on the default printer instead."},
    {IDS_NO_SETTINGS,
     u"Nothing was saved: the printer's driver gave no settings for the printer shown, or they could not be read. "
     u"Choose the printer again, or check its driver."},
    {IDS_DAMAGED_SETTINGS,
     u"Nothing was saved: the settings the printer's driver gave are damaged. Choose the printer again, or check its "
     u"driver."},
    {IDS_NAME_TOO_LONG,
     u"Nothing was saved: the printer's name is too long to be saved in a device info file. Give the printer a shorter "
     u"name, then save again."},
    {IDS_SAVE_DIALOG_FAILED,
     u"Nothing was saved: the Save As dialog box could not be shown. Press [save] to try again."},
    {IDS_PATH_TOO_LONG,
     u"The file was not saved because its path is longer than 259 characters. Choose a shorter folder or file "
     u"name.\npath too long (259 characters at most) :%1"},
    {IDS_WRITE_ERROR,
     u"The settings could not be written, so nothing was saved and an existing file was left as it was. Check that the "
     u"disk has free space and that you have permission to save in that folder, then save again.\nwrite error :%1"},
    {IDS_REPLACE_ERROR,
     u"The old file was removed, but the new one could not take its place. Your settings are in the temporary file "
     u"named on the last line: rename it to the name you chose. Do not delete it; it is the only copy.\nreplace error "
     u":%1\nsaved settings :%2"},
    {IDS_REASON_TARGET_FOLDER,
     u"A folder has this name, so nothing was saved and the folder was left as it was. Choose another name."},
    {IDS_REASON_TARGET_DEVICE,
     u"This name is a device's (such as NUL, CON, COM1 or LPT1, with or without an extension), not a file's, so "
     u"nothing was saved. Choose another name."},
    {IDS_REASON_TARGET_PIPE, u"A named pipe has this name, not a file, so nothing was saved. Choose another name."},
    {IDS_REASON_TARGET_IN_USE,
     u"The file is in use by another program, so it was not replaced and nothing was saved. Close the file in that "
     u"program, then save again."},
    {IDS_REASON_TARGET_READ_ONLY,
     u"The file is read-only, so it was not replaced and nothing was saved. Choose another name, or clear the file's "
     u"read-only attribute and save again."},
    {IDS_REASON_TARGET_DENIED,
     u"You do not have permission to replace this file, so nothing was saved. Choose another folder or name."},
    {IDS_REASON_TARGET_DANGLING_LINK,
     u"A symbolic link to a file that does not exist has this name, so nothing was saved and the link was left as it "
     u"was. Correct the link, or choose another name."},
    {IDS_REASON_NAME_TAKEN,
     u"Something that is not a file took this name while saving, or it is a symbolic link to a file that does not "
     u"exist, so nothing was saved and it was left as it was. Choose another name."},
    {IDS_REASON_CANNOT_CREATE,
     u"No file could be made in this folder: it does not exist, or you do not have permission to write there. Nothing "
     u"was saved. Choose another folder."},
    {IDS_REASON_NOT_REPLACED,
     u"The file could not be replaced, so nothing was saved and it was left as it was. Check that you may write there, "
     u"then save again."},
    {IDS_OUT_OF_MEMORY, u"Out of memory. Close other programs, then try again."},
    {IDS_UNEXPECTED_ERROR, u"An unexpected error occurred. If it happens again, restart IKWDev."},
    {IDS_HELP_VIEWER_FAILED, u"Unable to start the help viewer. Check that IKWDev.chm is in the folder of IKWDev.exe."},
    {IDS_SETTING_ORIENTATION, u"orientation"},
    {IDS_SETTING_PAPER, u"paper size"},
    {IDS_SETTING_PAPER_LENGTH, u"paper length"},
    {IDS_SETTING_PAPER_WIDTH, u"paper width"},
    {IDS_SETTING_SCALE, u"scaling"},
    {IDS_SETTING_COPIES, u"copies"},
    {IDS_SETTING_SOURCE, u"paper source"},
    {IDS_SETTING_RESOLUTION, u"print quality"},
    {IDS_SETTING_COLOR, u"color"},
    {IDS_SETTING_DUPLEX, u"two-sided printing"},
    {IDS_SETTING_Y_RESOLUTION, u"vertical resolution"},
    {IDS_SETTING_TRUETYPE, u"TrueType fonts"},
    {IDS_SETTING_COLLATION, u"collate"},
    {IDS_SETTING_FORM_NAME, u"paper name"},
    {IDS_SETTING_POSITION, u"position on the screen"},
    {IDS_SETTING_PAGES_PER_SHEET, u"pages per sheet"},
    {IDS_SETTING_SCREEN_ORIENTATION, u"screen orientation"},
    {IDS_SETTING_SCREEN_DPI, u"screen dots per inch"},
    {IDS_SETTING_COLOR_DEPTH, u"screen color depth"},
    {IDS_SETTING_SCREEN_WIDTH, u"screen width"},
    {IDS_SETTING_SCREEN_HEIGHT, u"screen height"},
    {IDS_SETTING_SCREEN_MODE, u"screen mode"},
    {IDS_SETTING_REFRESH_RATE, u"refresh rate"},
    {IDS_SETTING_COLOR_MANAGEMENT, u"color management"},
    {IDS_SETTING_COLOR_RENDERING, u"color rendering"},
    {IDS_SETTING_PAPER_TYPE, u"paper type"},
    {IDS_SETTING_HALFTONING, u"halftoning"},
    {IDS_SETTING_PANNING_WIDTH, u"panning width"},
    {IDS_SETTING_PANNING_HEIGHT, u"panning height"},
    {IDS_SETTING_SCREEN_SCALING, u"screen scaling"},
};

// The built-in English text of the id; empty for an id not in the list.
std::u16string_view BuiltInText(unsigned id);

// The text with %1 to %9 replaced by the arguments, in one pass: an argument
// that holds "%1" itself (a path may) is never read for placeholders. A
// placeholder without an argument, and any other '%', stay as written.
// Translations order their placeholders as their language needs, so a
// message is one template filled once, never fragments joined in English
// order.
std::u16string FillPlaceholders(std::u16string_view text, std::initializer_list<std::u16string_view> args);

// The string table's text for the id, or the built-in English one when the
// table holds none, with its placeholders filled.
std::u16string ComposeMessage(StringTable& strings, unsigned id, std::initializer_list<std::u16string_view> args = {});

// The built-in English texts as a string table: for tools whose output is
// English whatever the interface language.
class BuiltInEnglish : public StringTable {
public:
    std::u16string Load(unsigned id) override;
};

}  // namespace ikw
