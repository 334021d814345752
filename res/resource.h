// Resource ids shared by ikwdev.rc and the code. Nothing else belongs here.
#pragma once

#define IDI_APP_ICON 128

#define IDS_DEVICE_INFO_FILTER 102
#define IDS_SAVE_CAPTION 103
#define IDS_CLOSE_CAPTION 104
#define IDS_DEVICE_INFO_TYPE 105

// The Start-menu shortcut's description: the MSI points the shortcut at it,
// so Explorer shows it in the user's language.
#define IDS_SHORTCUT_DESCRIPTION 900
