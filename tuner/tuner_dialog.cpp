// The tuner dialog: connection types, the advanced values and the buttons that act on them.
#include "tuner_dialog.h"

#include "dialog_view.h"
#include "registry_access.h"
#include "resource.h"
#include "tuner_help.h"
#include "tuner_settings.h"
#include "tuner_state.h"
#include "value_check.h"

namespace {

int show_message(HWND owner, unsigned id, UINT style) {
  char text[512];
  load_tuner_string(id, text, sizeof text);
  return MessageBoxA(owner, text, g_title, style);
}

int32_t read_product_value(const char *name) {
  int32_t value = 0;
  RegReadDword(HKEY_LOCAL_MACHINE, g_product_key, name, &value);
  return value;
}

BOOL on_init(HWND dialog, TunerSettings &settings) {
  SetWindowTextA(dialog, g_title);
  // Centre by the full size, then show only the basic area.
  RECT box, desktop;
  GetWindowRect(dialog, &box);
  GetWindowRect(GetDesktopWindow(), &desktop);
  int width = box.right - box.left;
  int full_height = box.bottom - box.top;
  MoveWindow(dialog, desktop.right / 2 - width / 2, desktop.bottom / 2 - full_height / 2, width,
             HeightTo(dialog, IDC_MARK_BASIC), TRUE);

  int32_t type = read_product_value("Type");
  if (type != 0) CheckDlgButton(dialog, type, BST_CHECKED);
  // Anything but 1 is the basic mode, so that toggling always alternates between 0 and 1.
  g_mode = read_product_value("Mode") == 1 ? 1 : 0;

  EnableAdvanced(dialog, FALSE);
  resize_dialog(dialog, HeightTo(dialog, g_mode == 1 ? IDC_MARK_FULL : IDC_MARK_BASIC));
  SetDlgItemTextA(dialog, IDC_ADVANCED, g_mode == 1 ? g_text_less : g_text_more);
  EnableAdvanced(dialog, TRUE);

  SendDlgItemMessageA(dialog, IDC_MAX_MTU, EM_LIMITTEXT, 5, 0);
  SendDlgItemMessageA(dialog, IDC_RCV_WINDOW, EM_LIMITTEXT, 5, 0);
  SendDlgItemMessageA(dialog, IDC_TTL, EM_LIMITTEXT, 5, 0);
  ShowValues(dialog, settings);
  TakeValues(dialog, settings);
  return TRUE;
}

// Values out of range are refused before anything is written; the record then keeps what it held,
// so a later Restore does not pick up the refused text.
void on_ok(HWND dialog, TunerSettings &settings) {
  TunerSettings typed = settings;
  TakeValues(dialog, typed);
  int control = 0;
  unsigned refusal = check_values(typed, &control);
  if (refusal != 0) {
    show_message(dialog, refusal, MB_OK | MB_ICONEXCLAMATION);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, control)), TRUE);
    return;
  }
  settings = typed;
  settings.StoreToStack();
  release_settings();
  show_message(dialog, IDS_REBOOT, MB_OK);
  EndDialog(dialog, 0);
}

void on_cancel(HWND dialog) {
  release_settings();
  EndDialog(dialog, 0);
}

void on_restore(HWND dialog, TunerSettings &settings) {
  if (show_message(dialog, IDS_RESTORE_QUESTION, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  settings.LoadOriginals();
  settings.StoreToStack();
  ShowValues(dialog, settings);
  show_message(dialog, IDS_RESTORED, MB_OK);
}

// A stored "Type" of 1017 folds the dialog back to its basic area before a new type is applied.
void collapse_for_stored_type(HWND dialog, TunerSettings &settings) {
  if (read_product_value("Type") != IDC_TYPE_COLLAPSE) return;
  TakeValues(dialog, settings);
  resize_dialog(dialog, HeightTo(dialog, IDC_MARK_BASIC));
  EnableAdvanced(dialog, FALSE);
}

void on_connection_type(HWND dialog, int id, bool modem, TunerSettings &settings) {
  if (IsDlgButtonChecked(dialog, id) != BST_CHECKED) return;
  collapse_for_stored_type(dialog, settings);
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Type", id);
  if (modem) {
    settings.ApplyModemPreset();
  } else {
    settings.ApplyNetworkPreset();
  }
  ShowValues(dialog, settings);
}

void on_advanced(HWND dialog, TunerSettings &settings) {
  g_mode = 1 - g_mode;
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Mode", g_mode);
  show_mode(dialog, g_mode);
  settings.LoadFromStack();
  ShowValues(dialog, settings);
}

bool modem_type_checked(HWND dialog) {
  return IsDlgButtonChecked(dialog, IDC_TYPE_MODEM_SLOW) == BST_CHECKED ||
         IsDlgButtonChecked(dialog, IDC_TYPE_MODEM_33K) == BST_CHECKED ||
         IsDlgButtonChecked(dialog, IDC_TYPE_MODEM_56K) == BST_CHECKED;
}

void on_default(HWND dialog, TunerSettings &settings) {
  if (modem_type_checked(dialog)) {
    settings.ApplyModemPreset();
  } else {
    settings.ApplyNetworkPreset();
  }
  ShowValues(dialog, settings);
}

BOOL on_command(HWND dialog, int id) {
  if (id == IDCANCEL) {
    on_cancel(dialog);
    return TRUE;
  }
  TunerSettings *settings = current_settings();
  if (!settings) return FALSE;
  switch (id) {
    case IDOK: on_ok(dialog, *settings); return TRUE;
    case IDC_RESTORE: on_restore(dialog, *settings); return TRUE;
    case IDC_TYPE_MODEM_SLOW:
    case IDC_TYPE_MODEM_33K:
    case IDC_TYPE_MODEM_56K: on_connection_type(dialog, id, true, *settings); return TRUE;
    case IDC_TYPE_ISDN:
    case IDC_TYPE_DSL:
    case IDC_TYPE_SATELLITE:
    case IDC_TYPE_T1E1:
    case IDC_TYPE_LAN: on_connection_type(dialog, id, false, *settings); return TRUE;
    case IDC_HELP_BUTTON: open_help(); return TRUE;
    case IDC_ABOUT: show_message(dialog, IDS_ABOUT, MB_OK); return TRUE;
    case IDC_ADVANCED: on_advanced(dialog, *settings); return TRUE;
    case IDC_DEFAULT: on_default(dialog, *settings); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK TunerDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      TunerSettings *settings = current_settings();
      if (!settings) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return on_init(dialog, *settings);
    }
    case WM_COMMAND: return on_command(dialog, LOWORD(wparam));
    default: return FALSE;
  }
}

INT_PTR run_tuner_dialog(HINSTANCE instance) {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TUNER), nullptr, TunerDialogProc, 0);
}
