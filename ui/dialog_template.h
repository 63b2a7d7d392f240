#pragma once
// The main dialog's in-memory template.
#include <windows.h>

#include <cstddef>

#include "ui/program_name.h"

namespace tolvaren {

// Asked for; the template adds the flags every such dialog needs and drops
// WS_VISIBLE, so that the dialog is created hidden and shown by the modal run.
constexpr DWORD kRequestedDialogStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION |
                                        WS_SYSMENU | DS_MODALFRAME | DS_SETFONT |
                                        DS_NOFAILCREATE | DS_3DLOOK;
constexpr DWORD kDialogStyle =
    (kRequestedDialogStyle | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK) & ~(WS_VISIBLE | DS_SYSMODAL);
constexpr DWORD kDialogExStyle = WS_EX_CONTROLPARENT;
constexpr short kDialogX = 121, kDialogY = 153, kDialogWidth = 118, kDialogHeight = 29;
constexpr WORD kDialogFontPoints = 8;
constexpr char kDialogFontFace[] = "MS Sans Serif";

// A DLGTEMPLATE with no items: its header, no menu, the system dialog class,
// the title and the font, each text widened and zero-terminated. WORD
// storage keeps it suitably aligned.
struct MainDialogTemplate {
    static constexpr std::size_t kHeaderWords = 11;
    WORD words[kHeaderWords + sizeof kProgramName + 1 + sizeof kDialogFontFace];
};
MainDialogTemplate BuildMainDialogTemplate();

}  // namespace tolvaren
