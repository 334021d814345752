"""What the end-to-end tests look for on the screen, in one place: the
window classes and control ids of the program's windows and of the system
dialogs it opens, and the texts of its messages and titles as they read in
English. A changed text or id is one edit here, whichever scenario checks it.

The button captions and the Japanese texts of the save dialog are the
resources test's own table (test_resources), beside what it checks them
against."""

# Window classes.
DIALOG_CLASS = "#32770"
# The HTML Help viewer's frame window.
HTML_HELP_CLASS = "HH Parent"

# Control ids of the print setup dialog in setup mode.
PRINTER_COMBO = 0x470
PAPER_COMBO = 0x471
SOURCE_COMBO = 0x472
PORTRAIT = 0x420
LANDSCAPE = 0x421
PROPERTIES = 0x401
HELP = 0x40E
SAVE = 1    # the dialog's OK button
CLOSE = 2   # the dialog's Cancel button

# The save dialog, new style or classic, under Wine and on Windows: the file
# name box is edt1 and the file types list cmb1.
SAVE_DIALOG_FILE_NAME = 0x480
SAVE_DIALOG_FILE_TYPES = 0x470
SAVE_DIALOG_SAVE = 1
SAVE_DIALOG_CANCEL = 2

# A message box: its text, and its buttons (IDOK, IDCANCEL, IDYES, IDNO).
# The save dialog's question before it replaces a file is one too.
MESSAGE_TEXT = 0xFFFF
OK = 1
CANCEL = 2
YES = 6
NO = 7

# The title of the program's message boxes.
PROGRAM_NAME = "IKWDev"
# The printer the program never opens the dialog on by choice.
EXCLUDED_PRINTER = "Microsoft Print to PDF"
# The title of Wine's print setup dialog under the tests' locale; with a
# file open, " - " and the file's name follow it.
SETUP_TITLE = "Print Setup"
# The caption the help file gives the HTML Help viewer.
HTML_HELP_CAPTION = "IKWDev Help"

# The program's messages. A message about a file or a printer leads with a
# plain sentence, and a line naming the printer and the path follows; "%s" is
# filled in as the program fills it. Those a test reads in both interface
# languages are given by language.
# The chosen or given path cannot be opened: the same in both languages.
OPEN_ERROR = "open error :"
# Why a save or a capture wrote nothing at the path: the line after
# OPEN_ERROR and the path.
REASON_TARGET_FOLDER = ("A folder has this name, so nothing was saved and the folder was left as it was. "
                        "Choose another name.")
REASON_TARGET_DEVICE = ("This name is a device's (such as NUL, CON, COM1 or LPT1, with or without an extension), "
                        "not a file's, so nothing was saved. Choose another name.")
REASON_TARGET_IN_USE = ("The file is in use by another program, so it was not replaced and nothing was saved. "
                        "Close the file in that program, then save again.")
REASON_TARGET_DANGLING_LINK = ("A symbolic link to a file that does not exist has this name, so nothing was saved "
                               "and the link was left as it was. Correct the link, or choose another name.")
REASON_NAME_TAKEN = ("Something that is not a file took this name while saving, or it is a symbolic link to a "
                     "file that does not exist, so nothing was saved and it was left as it was. Choose another name.")
REASON_CANNOT_CREATE = ("No file could be made in this folder: it does not exist, or you do not have permission "
                        "to write there. Nothing was saved. Choose another folder.")
# No settings to save.
NO_SETTINGS = ("Nothing was saved: the printer's driver gave no settings for the printer shown, "
               "or they could not be read. Choose the printer again, or check its driver.")
# The line that ends a message about a file that was not opened, when the
# dialog then opens on the default printer.
OPENS_ON_DEFAULT = {
    "en": "\nThe print setup dialog box now opens on the default printer instead.",
    "ja": "\n代わりに、既定のプリンターで [プリンターの設定] ダイアログ ボックスを開きます。",
}
# A file that is not a device info file: the decoder's reason, the path.
NOT_DEVICE_INFO = {
    "en": "This file is not a device info file, or it is damaged, so it was not opened. "
          "Nothing was changed.\nnot a device info file (%s) :%s" + OPENS_ON_DEFAULT["en"],
    "ja": "このファイルはデバイス情報ファイルではないか、破損しているため、開きませんでした。"
          "何も変更されていません。\nデバイス情報ファイルではありません (%s) :%s" + OPENS_ON_DEFAULT["ja"],
}
# The decoder's reason for a file shorter than its DevModeSize says, the same
# in both languages: DevModeSize, the bytes it needs, the bytes the file has.
FILE_SHORTER_THAN_HEADER = ("file is shorter than its header says: DevModeSize %d needs %d bytes, "
                            "the file has %d bytes")
# A file whose printer is not installed: the printer, the path.
PRINTER_NOT_INSTALLED = {
    "en": "This file holds settings for a printer that is not installed on this computer, so it was "
          "not opened. Install that printer, or open a file saved for an installed one.\n"
          "printer not installed (%s) :%s" + OPENS_ON_DEFAULT["en"],
    "ja": "このファイルは、このコンピューターにインストールされていないプリンターの設定なので、"
          "開きませんでした。そのプリンターをインストールするか、インストールされているプリンター用に"
          "保存したファイルを開いてください。\nプリンターがインストールされていません (%s) :%s"
          + OPENS_ON_DEFAULT["ja"],
}
# The driver's private part in the file was reset: the printer, the path.
PRIVATE_RESET = ("Some settings in this file could not be used with this printer and were reset to the "
                 "driver's defaults. Check the settings before you save.\n"
                 "some settings in this file were reset (%s) :%s\n"
                 "The driver's own settings in this file (what the printer's Properties pages set) were made by "
                 "another version of the driver, or for another printer, so they were reset to the driver's "
                 "defaults.\n")
# The line of that message that lists what was kept, as far as the
# orientation and the paper.
KEPT_ORIENTATION_AND_PAPER = "\nThese settings were used from the file: orientation, paper size"
# The usage message, for more than one argument.
USAGE = ("IKWDev opens one device info file at a time and was given more than one, so nothing was "
         "opened. Start it with one file, or with none.\nusage : IKWDev [FILE]\nWithout FILE the print "
         "setup dialog box opens on the default printer; with a device info file (.dev) it opens on the file's "
         "printer and settings.")
