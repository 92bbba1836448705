#include "config/configure_dialog.h"

#include <commctrl.h>

#include "animation/saver_procedure.h"
#include "config/dialog_values.h"
#include "config/help.h"
#include "figure/background.h"
#include "host/host_state.h"
#include "resources/resource_ids.h"
#include "settings/saver_settings.h"

namespace {
// Handles of the controls whose scroll messages the dialog tells apart.
HWND speedSlider, pointsSlider, pauseSlider, brightnessSlider, redSlider, greenSlider, blueSlider;
HWND minCountUpDown, maxCountUpDown;

int SliderPosition(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}

// While the dialog fills its controls at start-up, the preview keeps the
// picture it just began: a renewal then would restart it a second later.
bool startingUp = false;

void NewPreviewPicture() {
  if (!startingUp) NewPicture(animationWindow);
}

void NewBackgroundAndPicture() {
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  NewPreviewPicture();
}

// A control whose setting a policy sets shows it greyed, and so do its
// labels and its buddy.
struct SettingControls {
  Setting setting;
  int ids[4]; // 0 ends the list
};
constexpr SettingControls kSettingControls[] = {
    {kDrawSpeed, {IDC_SPEED, IDC_SPEED_LABEL, IDC_SLOWER_LABEL, IDC_FASTER_LABEL}},
    {kPointsPerCycle, {IDC_POINTS, IDC_POINTS_LABEL, IDC_FEWER_LABEL, IDC_MORE_LABEL}},
    {kRefreshPause, {IDC_PAUSE, IDC_PAUSE_LABEL, IDC_SHORTER_LABEL, IDC_LONGER_LABEL}},
    {kMinGyrels, {IDC_MIN_COUNT, IDC_MIN_COUNT_TEXT, IDC_MIN_COUNT_LABEL}},
    {kMaxGyrels, {IDC_MAX_COUNT, IDC_MAX_COUNT_TEXT, IDC_MAX_COUNT_LABEL}},
    {kMaxBrightness, {IDC_BRIGHTNESS, IDC_BRIGHTNESS_LABEL}},
    {kRed, {IDC_RED, IDC_RED_LABEL}},
    {kGreen, {IDC_GREEN, IDC_GREEN_LABEL}},
    {kBlue, {IDC_BLUE, IDC_BLUE_LABEL}},
    {kChangeBackground, {IDC_DONT_CHANGE_BACKGROUND}},
    {kPictureOnEachMonitor, {IDC_PICTURE_ON_EACH_MONITOR}},
    {kSmoothCurves, {IDC_SMOOTH_CURVES}}};

void ApplyManaged(HWND dialog) {
  for (const SettingControls &controls : kSettingControls)
    for (int id : controls.ids)
      if (id) EnableWindow(GetDlgItem(dialog, id), !settings.Managed(controls.setting));
  ShowWindow(GetDlgItem(dialog, IDC_MANAGED_NOTE), settings.managed ? SW_SHOW : SW_HIDE);
}

void ApplyFrequencyEnabling(HWND dialog) {
  const FrequencyControlsEnabled enabled =
      FrequencyEnabling(settings.ChangeBackground, settings.UseFixedFrequency);
  EnableWindow(GetDlgItem(dialog, IDC_USE_FIXED_FREQUENCY),
               enabled.checkBox && !settings.Managed(kUseFixedFrequency));
  EnableWindow(GetDlgItem(dialog, IDC_FREQUENCY),
               enabled.editBox && !settings.Managed(kChangeFrequency));
}

void RestartPreviewTimer() {
  if (timerId != 0) KillTimer(animationWindow, timerId);
  timerId = SetTimer(animationWindow, kAnimationTimer, settings.DrawSpeed, nullptr);
}

void OnSpeedSlider(HWND dialog) {
  settings.SetDrawSpeed(DrawSpeedFromSlider(SliderPosition(dialog, IDC_SPEED)));
  RestartPreviewTimer();
  NewPreviewPicture();
}

void OnPointsSlider(HWND dialog) {
  settings.PointsPerCycle = static_cast<std::uint32_t>(SliderPosition(dialog, IDC_POINTS));
  NewPreviewPicture();
}

void OnPauseSlider(HWND dialog) {
  settings.SetRefreshPause(static_cast<std::uint32_t>(SliderPosition(dialog, IDC_PAUSE)));
  NewPreviewPicture();
}

void OnColourSlider(HWND dialog, int id, std::uint32_t &field) {
  field = static_cast<std::uint32_t>(SliderPosition(dialog, id));
  NewBackgroundAndPicture();
}

void OnFixedFrequencyBox(HWND dialog) {
  settings.UseFixedFrequency = IsDlgButtonChecked(dialog, IDC_USE_FIXED_FREQUENCY) != 0;
  ApplyFrequencyEnabling(dialog);
  NewBackgroundAndPicture();
}

void OnDontChangeBackgroundBox(HWND dialog) {
  settings.ChangeBackground = IsDlgButtonChecked(dialog, IDC_DONT_CHANGE_BACKGROUND) == 0;
  ApplyFrequencyEnabling(dialog);
  NewBackgroundAndPicture();
}

// Full screen only: the dialog's preview stays one picture.
void OnPictureOnEachMonitorBox(HWND dialog) {
  settings.PictureOnEachMonitor = IsDlgButtonChecked(dialog, IDC_PICTURE_ON_EACH_MONITOR) != 0;
}

// The preview shows it too, at its own size.
void OnFineCurvesBox(HWND dialog) {
  settings.FineCurves = IsDlgButtonChecked(dialog, IDC_FINE_CURVES) != 0;
  NewPreviewPicture();
}

// Smooth curves are always placed finer: the full-resolution box has no say then.
void ApplySmoothEnabling(HWND dialog) {
  EnableWindow(GetDlgItem(dialog, IDC_FINE_CURVES),
               !settings.SmoothCurves && !settings.Managed(kFineCurves));
}

void OnSmoothCurvesBox(HWND dialog) {
  settings.SmoothCurves = IsDlgButtonChecked(dialog, IDC_SMOOTH_CURVES) != 0;
  ApplySmoothEnabling(dialog);
  NewPreviewPicture();
}

void OnHorizontalScroll(HWND dialog, HWND sender) {
  if (sender == speedSlider)
    OnSpeedSlider(dialog);
  else if (sender == pointsSlider)
    OnPointsSlider(dialog);
  else if (sender == pauseSlider)
    OnPauseSlider(dialog);
  else if (sender == brightnessSlider)
    OnColourSlider(dialog, IDC_BRIGHTNESS, settings.MaxBrightness);
  else if (sender == redSlider)
    OnColourSlider(dialog, IDC_RED, settings.Red);
  else if (sender == greenSlider)
    OnColourSlider(dialog, IDC_GREEN, settings.Green);
  else if (sender == blueSlider)
    OnColourSlider(dialog, IDC_BLUE, settings.Blue);
}

// Both positions, read in the order minimum then maximum; the error flag
// that counts is the one the second read leaves.
bool ReadCountPositions(std::uint32_t &minimum, std::uint32_t &maximum) {
  BOOL failed = FALSE;
  minimum = static_cast<std::uint32_t>(
      SendMessageA(minCountUpDown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
  maximum = static_cast<std::uint32_t>(
      SendMessageA(maxCountUpDown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
  return !failed;
}

// One end of the curve-count range moved: the other follows when they cross,
// and a new picture starts when the moved end's setting changes.
int ApplyCountChange(bool minimumMoved) {
  std::uint32_t minimum, maximum;
  if (!ReadCountPositions(minimum, maximum)) return 1;
  const CountRange range =
      minimumMoved ? AfterMinimumMoved(minimum, maximum) : AfterMaximumMoved(minimum, maximum);
  std::uint32_t movedValue = minimumMoved ? range.minimum : range.maximum;
  const std::uint32_t otherValue = minimumMoved ? range.maximum : range.minimum;
  std::int32_t &moved = minimumMoved ? settings.MinGyrels : settings.MaxGyrels;
  std::int32_t &other = minimumMoved ? settings.MaxGyrels : settings.MinGyrels;
  if (range.otherMoved && settings.Managed(minimumMoved ? kMaxGyrels : kMinGyrels)) {
    // The other end is the organisation's: the moved one stops at it.
    movedValue = static_cast<std::uint32_t>(other);
    SendMessageA(minimumMoved ? minCountUpDown : maxCountUpDown, UDM_SETPOS32, 0,
                 static_cast<LPARAM>(movedValue));
  } else if (range.otherMoved) {
    SendMessageA(minimumMoved ? maxCountUpDown : minCountUpDown, UDM_SETPOS32, 0,
                 static_cast<LPARAM>(otherValue));
    other = static_cast<std::int32_t>(otherValue);
  }
  if (movedValue != static_cast<std::uint32_t>(moved)) {
    moved = static_cast<std::int32_t>(movedValue);
    NewPreviewPicture();
  }
  return 0;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
  switch (LOWORD(wParam)) {
  case IDOK:
    ValidateFixedFrequency(dialog);
    // A refused save keeps the dialog open: the user can try again or cancel.
    if (!settings.Save()) {
      MessageBoxA(dialog, "The settings could not be saved.", "GyrelSaver", MB_ICONERROR);
      return 1;
    }
    EndDialog(dialog, 1);
    return 1;
  case IDCANCEL:
    EndDialog(dialog, 0);
    return 1;
  case IDC_DONT_CHANGE_BACKGROUND:
    OnDontChangeBackgroundBox(dialog);
    return 1;
  case IDC_USE_FIXED_FREQUENCY:
    OnFixedFrequencyBox(dialog);
    return 1;
  case IDC_PICTURE_ON_EACH_MONITOR:
    OnPictureOnEachMonitorBox(dialog);
    return 1;
  case IDC_FINE_CURVES:
    OnFineCurvesBox(dialog);
    return 1;
  case IDC_SMOOTH_CURVES:
    OnSmoothCurvesBox(dialog);
    return 1;
  case IDC_FREQUENCY:
    if (HIWORD(wParam) == EN_CHANGE) ValidateFixedFrequency(dialog);
    return 1;
  case IDC_RESET:
    settings.Load();
    FillConfigControls(dialog);
    RestartPreviewTimer(); // the preview runs at the speed the slider shows again
    return 1;
  case IDC_HELP_BUTTON:
    ShowHelpContents(dialog);
    return 1;
  case IDC_ABOUT:
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc,
                    0);
    return 1;
  default:
    return 0;
  }
}
} // namespace

void InitTrackbar(HWND trackbar, int minimum, int maximum, int position, int lineSize,
                  int pageSize) {
  SendMessageA(trackbar, TBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
  SendMessageA(trackbar, TBM_SETLINESIZE, 0, lineSize);
  SendMessageA(trackbar, TBM_SETPAGESIZE, 0, pageSize);
  SendMessageA(trackbar, TBM_SETPOS, 1, position);
}

void InitUpDown(HWND upDown, int low, int high, int position) {
  SendMessageA(upDown, UDM_SETRANGE32, static_cast<WPARAM>(low), high);
  SendMessageA(upDown, UDM_SETPOS32, 0, position);
}

void FillConfigControls(HWND dialog) {
  InitTrackbar(GetDlgItem(dialog, IDC_SPEED), 1, 500, SpeedSliderPosition(settings.DrawSpeed), 1,
               5);
  InitTrackbar(GetDlgItem(dialog, IDC_PAUSE), 0, 10, static_cast<int>(settings.RefreshPause), 1, 2);
  InitTrackbar(GetDlgItem(dialog, IDC_BRIGHTNESS), 1, 255, static_cast<int>(settings.MaxBrightness),
               1, 5);
  InitTrackbar(GetDlgItem(dialog, IDC_POINTS), 1, 800, static_cast<int>(settings.PointsPerCycle), 1,
               100);
  InitTrackbar(GetDlgItem(dialog, IDC_RED), 0, 100, static_cast<int>(settings.Red), 1, 5);
  InitTrackbar(GetDlgItem(dialog, IDC_GREEN), 0, 100, static_cast<int>(settings.Green), 1, 5);
  InitTrackbar(GetDlgItem(dialog, IDC_BLUE), 0, 100, static_cast<int>(settings.Blue), 1, 5);
  InitUpDown(GetDlgItem(dialog, IDC_MIN_COUNT), 0, 20, settings.MinGyrels);
  InitUpDown(GetDlgItem(dialog, IDC_MAX_COUNT), 0, 20, settings.MaxGyrels);
  CheckDlgButton(dialog, IDC_DONT_CHANGE_BACKGROUND,
                 settings.ChangeBackground ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, IDC_USE_FIXED_FREQUENCY,
                 settings.UseFixedFrequency ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_PICTURE_ON_EACH_MONITOR,
                 settings.PictureOnEachMonitor ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_FINE_CURVES, settings.FineCurves ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_SMOOTH_CURVES, settings.SmoothCurves ? BST_CHECKED : BST_UNCHECKED);
  ApplyManaged(dialog);
  ApplyFrequencyEnabling(dialog);
  ApplySmoothEnabling(dialog);
  // Raises EN_CHANGE, so every fill ends with one frequency check and a new picture.
  SetDlgItemInt(dialog, IDC_FREQUENCY, settings.ChangeFrequency, FALSE);
}

void ValidateFixedFrequency(HWND dialog) {
  BOOL isNumber = FALSE;
  const UINT value = GetDlgItemInt(dialog, IDC_FREQUENCY, &isNumber, FALSE);
  char text[32] = "";
  GetDlgItemTextA(dialog, IDC_FREQUENCY, text, sizeof text);
  if (isNumber && IsPlainNumber(text) && FrequencyAccepted(value)) {
    settings.ChangeFrequency = value;
    NewBackgroundAndPicture();
    return;
  }
  if (text[0] == '\0') return; // an emptied box is left alone
  MessageBoxA(dialog, "Frequency should be between 1 and 1000", "GyrelSaver", MB_ICONINFORMATION);
  HWND box = GetDlgItem(dialog, IDC_FREQUENCY);
  SetFocus(box);
  SendMessageA(box, EM_SETSEL, 0, -1);
}

int OnMinCountChanged(HWND) { return ApplyCountChange(true); }

int OnMaxCountChanged(HWND) { return ApplyCountChange(false); }

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                       LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    speedSlider = GetDlgItem(dialog, IDC_SPEED);
    pointsSlider = GetDlgItem(dialog, IDC_POINTS);
    pauseSlider = GetDlgItem(dialog, IDC_PAUSE);
    brightnessSlider = GetDlgItem(dialog, IDC_BRIGHTNESS);
    redSlider = GetDlgItem(dialog, IDC_RED);
    greenSlider = GetDlgItem(dialog, IDC_GREEN);
    blueSlider = GetDlgItem(dialog, IDC_BLUE);
    minCountUpDown = GetDlgItem(dialog, IDC_MIN_COUNT);
    maxCountUpDown = GetDlgItem(dialog, IDC_MAX_COUNT);
    settings.Load();
    startingUp = true;
    FillConfigControls(dialog);
    startingUp = false;
    return 1;
  case WM_COMMAND:
    return OnCommand(dialog, wParam);
  case WM_HSCROLL:
    OnHorizontalScroll(dialog, reinterpret_cast<HWND>(lParam));
    return 0;
  case WM_VSCROLL: {
    HWND sender = reinterpret_cast<HWND>(lParam);
    if (sender == minCountUpDown) return OnMinCountChanged(dialog);
    if (sender == maxCountUpDown) return OnMaxCountChanged(dialog);
    return 0;
  }
  case WM_HELP: {
    const auto *info = reinterpret_cast<const HELPINFO *>(lParam);
    ShowContextHelpPopup(dialog, info->dwContextId, info->MousePos);
    return 1;
  }
  default:
    return 0;
  }
}

INT_PTR ShowConfigureDialog(HWND owner) {
  if (RegisterPreviewControlClass(hostState.instance) == 0) return 0;
  // The dialog's trackbars and up-downs need their classes before it is made.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  return DialogBoxParamA(hostState.instance, MAKEINTRESOURCEA(IDD_CONFIGURE), owner,
                         ScreenSaverConfigureDialog, 0);
}
