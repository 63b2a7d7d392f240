#include "ui/main_dialog.h"

#include "platform/win32/unique_handle.h"
#include "ui/dialog_template.h"
#include "ui/program.h"
#include "ui/resource_ids.h"
#include "ui/toggle_command.h"

namespace tolvaren {
namespace {

#define TOLVAREN_DECIMAL(id) #id
#define TOLVAREN_RESOURCE_NAME(id) "#" TOLVAREN_DECIMAL(id)
constexpr char kAppIconName[] = TOLVAREN_RESOURCE_NAME(IDR_APP_ICON);  // "#102"

constexpr char kCheckboxClass[] = "BUTTON";
constexpr char kCheckboxText[] = "Extra Vehicles Enabled";
constexpr DWORD kCheckboxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr RECT kCheckboxRect = {10, 10, 120, 20};  // dialog units

// The program has one dialog; this is what its host procedure needs to know.
struct ModalState {
    DialogCallback callback = nullptr;
    int* result = nullptr;
    UniqueHicon bigIcon;
    UniqueHicon smallIcon;
};
ModalState g_modal;

HWND SavedFocusWindow = nullptr;

HWND OwnerOf(HWND dialog) {
    return reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, GWLP_HWNDPARENT));
}

UniqueHicon LoadAppIcon(HINSTANCE instance, int size) {
    return UniqueHicon(static_cast<HICON>(
        LoadImageA(instance, kAppIconName, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// A failed 32x32 load ends the step: the 16x16 one is not tried.
void SetDialogIcons(HWND dialog, HINSTANCE instance) {
    g_modal.bigIcon = LoadAppIcon(instance, 32);
    if (!g_modal.bigIcon) return;
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_modal.bigIcon.get()));
    g_modal.smallIcon = LoadAppIcon(instance, 16);
    if (!g_modal.smallIcon) return;
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_modal.smallIcon.get()));
}

void AddCheckbox(HWND dialog, HINSTANCE instance, HFONT font) {
    RECT pixels = kCheckboxRect;
    MapDialogRect(dialog, &pixels);
    const HWND checkbox = CreateWindowExA(
        0, kCheckboxClass, kCheckboxText, kCheckboxStyle, pixels.left, pixels.top,
        pixels.right - pixels.left, pixels.bottom - pixels.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EXTRA_VEHICLES)), instance, nullptr);
    SendMessageA(checkbox, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

}  // namespace

int ShowMainDialog(HWND owner) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const MainDialogTemplate dialogTemplate = BuildMainDialogTemplate();
    const HWND dialog = CreateDialogIndirectParamA(
        instance, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.words), owner,
        DialogHostProc, 0);
    if (dialog != nullptr) {
        const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        SetDialogIcons(dialog, instance);
        AddCheckbox(dialog, instance, font);
    }
    const std::int32_t enabled = TheProgram().ExtraVehiclesEnabled();
    if (dialog == nullptr) return 0;
    SendMessageA(GetDlgItem(dialog, IDC_EXTRA_VEHICLES), BM_SETCHECK,
                 enabled != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!TheProgram().StartUpProblem().Done()) PostMessageA(dialog, kTellStartUpProblem, 0, 0);
    return RunModalDialog(dialog, MainDialogProc);
}

int RunModalDialog(HWND dialog, DialogCallback callback) {
    int result = 0;
    callback(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    RECT client = {};
    GetClientRect(dialog, &client);
    callback(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    g_modal.callback = callback;
    g_modal.result = &result;

    const HWND owner = OwnerOf(dialog);
    if (owner != nullptr) {
        SendMessageA(owner, WM_CANCELMODE, 0, 0);
        EnableWindow(owner, FALSE);
    }
    ShowWindow(dialog, SW_SHOW);

    // Polls rather than blocks; WM_QUIT is just another message here.
    MSG message;
    for (;;) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (owner != nullptr)
                SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
            Sleep(1);
            continue;
        }
        if (!IsWindow(dialog)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            break;
        }
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!IsWindow(dialog)) break;
    }
    if (owner != nullptr) SetFocus(owner);
    g_modal.callback = nullptr;
    g_modal.result = nullptr;
    return result;
}

INT_PTR CALLBACK DialogHostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Keeps the dialog manager from saving and restoring the focus itself.
    if (message == WM_ACTIVATE) return TRUE;
    if (g_modal.callback != nullptr) g_modal.callback(dialog, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        g_modal.bigIcon.reset();
        g_modal.smallIcon.reset();
    }
    if (message == WM_SYSCOMMAND && LOWORD(wParam) == SC_CLOSE) {
        EndModalDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void EndModalDialog(HWND dialog, int result) {
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    const HWND owner = OwnerOf(dialog);
    const bool reenabled = owner != nullptr && EnableWindow(owner, TRUE) != FALSE;
    if (g_modal.result != nullptr) *g_modal.result = result;
    if (!DestroyWindow(dialog) && reenabled) EnableWindow(owner, FALSE);
}

int MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_NCACTIVATE:
            if (wParam == FALSE) {
                SavedFocusWindow = GetFocus();
            } else if (SavedFocusWindow != nullptr) {
                SetFocus(SavedFocusWindow);
                SavedFocusWindow = nullptr;
            }
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_EXTRA_VEHICLES) OnExtraVehiclesClicked(dialog);
            break;
        case kTellStartUpProblem:
            TellStartUpProblem();
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace tolvaren
