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
# The title of Wine's print setup dialog under the tests' locale; with a
# file open, " - " and the file's name follow it.
SETUP_TITLE = "Print Setup"
# The caption the help file gives the HTML Help viewer.
HTML_HELP_CAPTION = "IKWDev Help"

# The program's messages. Those ending in " :" are followed by the path of
# the file they are about; "%s" is filled in as the program fills it.
# The chosen or given path cannot be opened.
OPEN_ERROR = "open error :"
# No settings to save.
NO_SETTINGS = ("settings error : the printer driver gave no settings for the printer shown, "
               "or they could not be read. Nothing was saved.")
# A file shorter than its DevModeSize says: DevModeSize, the bytes it needs,
# the bytes the file has, the path.
FILE_SHORTER_THAN_HEADER = ("not a device info file (file is shorter than its header says: DevModeSize %d "
                            "needs %d bytes, the file has %d bytes) :%s")
# A file whose printer is not installed: the printer, the path.
PRINTER_NOT_INSTALLED = "printer not installed (%s) :%s"
# The driver's private part in the file was reset: the printer, the path.
PRIVATE_RESET = ("some settings in this file were reset (%s) :%s\n"
                 "The printer's own settings in this file were made by another version of its driver, or for "
                 "another printer, and were reset to the driver's defaults.\n")
# The line of that message that lists what was kept, as far as the
# orientation and the paper.
KEPT_ORIENTATION_AND_PAPER = "\nKept: orientation, paper"
# How the usage message begins.
USAGE = "usage : IKWDev [FILE]"
