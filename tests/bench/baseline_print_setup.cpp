// The start-up benchmark's baseline: the platform's print setup dialog and
// nothing else, opened with the flags IKWDev passes (its own and
// the ones its dialog class adds), so that the benchmark can tell the
// program's own start-up cost from the dialog's.

#include <windows.h>
#include <commdlg.h>

namespace {

constexpr DWORD kSetupDialogFlags = PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE |
                                    PD_HIDEPRINTTOFILE | PD_PRINTSETUP | PD_SHOWHELP | PD_ENABLEPRINTHOOK |
                                    PD_ENABLESETUPHOOK;

// Wine calls the print hook in setup mode, Windows the setup hook; neither
// changes anything here. TRUE from WM_INITDIALOG leaves the focus to the
// dialog manager, as without a hook: a hook that returned FALSE there would
// skip that step and make the baseline cheaper than the bare dialog.
UINT_PTR CALLBACK LeaveAlone(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.Flags = kSetupDialogFlags;
    dialog.lpfnPrintHook = LeaveAlone;
    dialog.lpfnSetupHook = LeaveAlone;
    PrintDlgW(&dialog);
    if (dialog.hDevMode)
        GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames)
        GlobalFree(dialog.hDevNames);
    return 0;
}
