// Resource ids shared by ikwdev.rc and the code. Nothing else belongs here.
#pragma once

#define IDI_APP_ICON 128

#define IDS_DEVICE_INFO_FILTER 102
#define IDS_SAVE_CAPTION 103
#define IDS_CLOSE_CAPTION 104
#define IDS_DEVICE_INFO_TYPE 105

// Message texts, grouped by where they are shown: 2xx the command line and
// the start, 3xx the open of a device info file, 4xx the save, 5xx the
// framework's own boxes, 6xx the settings named in the open's message.
// %1, %2... are filled in by the code.
#define IDS_USAGE 200
#define IDS_DEFAULT_NOT_RESTORED 201
#define IDS_NO_DEFAULT_TO_RESTORE 202
#define IDS_NOW_DEFAULT 203
#define IDS_NOW_NO_DEFAULT 204

#define IDS_NOT_DEVICE_INFO 300
#define IDS_REASON_FILE_TOO_LONG 301
#define IDS_REASON_NO_PRINTER 302
#define IDS_PRINTER_NOT_INSTALLED 303
#define IDS_DRIVER_REFUSED 304
#define IDS_DIALOG_FAILED 305
#define IDS_SETTINGS_RESET 306
#define IDS_PRIVATE_RESET 307
#define IDS_NO_FIELD_LIST 308
#define IDS_FIELDS_DROPPED 309
#define IDS_FIELDS_KEPT 310
#define IDS_NOTHING_KEPT 311
#define IDS_SAVING_AFTER_RESET 312
#define IDS_LIST_SEPARATOR 313
// Said after 300, 303, 304 and 305 by the program, which then opens its
// dialog on the default printer; not by the settings tool, which does not.
#define IDS_OPENS_ON_DEFAULT 320

#define IDS_NO_SETTINGS 400
#define IDS_DAMAGED_SETTINGS 401
#define IDS_NAME_TOO_LONG 402
#define IDS_SAVE_DIALOG_FAILED 403
#define IDS_PATH_TOO_LONG 404
#define IDS_WRITE_ERROR 405
#define IDS_REPLACE_ERROR 406

#define IDS_OUT_OF_MEMORY 500
#define IDS_UNEXPECTED_ERROR 501
#define IDS_HELP_VIEWER_FAILED 502

#define IDS_SETTING_ORIENTATION 600
#define IDS_SETTING_PAPER 601
#define IDS_SETTING_PAPER_LENGTH 602
#define IDS_SETTING_PAPER_WIDTH 603
#define IDS_SETTING_SCALE 604
#define IDS_SETTING_COPIES 605
#define IDS_SETTING_SOURCE 606
#define IDS_SETTING_RESOLUTION 607
#define IDS_SETTING_COLOR 608
#define IDS_SETTING_DUPLEX 609
#define IDS_SETTING_Y_RESOLUTION 610
#define IDS_SETTING_TRUETYPE 611
#define IDS_SETTING_COLLATION 612
#define IDS_SETTING_FORM_NAME 613
#define IDS_SETTING_POSITION 614
#define IDS_SETTING_PAGES_PER_SHEET 615
#define IDS_SETTING_SCREEN_ORIENTATION 616
#define IDS_SETTING_SCREEN_DPI 617
#define IDS_SETTING_COLOR_DEPTH 618
#define IDS_SETTING_SCREEN_WIDTH 619
#define IDS_SETTING_SCREEN_HEIGHT 620
#define IDS_SETTING_SCREEN_MODE 621
#define IDS_SETTING_REFRESH_RATE 622
#define IDS_SETTING_COLOR_MANAGEMENT 623
#define IDS_SETTING_COLOR_RENDERING 624
#define IDS_SETTING_PAPER_TYPE 625
#define IDS_SETTING_HALFTONING 626
#define IDS_SETTING_PANNING_WIDTH 627
#define IDS_SETTING_PANNING_HEIGHT 628
#define IDS_SETTING_SCREEN_SCALING 629
// The Start-menu shortcut's description: the MSI points the shortcut at it,
// so Explorer shows it in the user's language.
#define IDS_SHORTCUT_DESCRIPTION 900
