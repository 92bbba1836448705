// When a running saver ends: input and power events become a posted
// WM_CLOSE, and on the 9x family the system's password check comes first.
#include "host/host_state.h"

SaverHostState hostState;

namespace {
void RequestClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

std::uint8_t AcLineStatusForRules() { return ReadAcLineStatus(); }

// The close policy proper; true when the message's result is settled here.
bool ApplyClosePolicy(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result) {
  switch (message) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
    RequestClose(window);
    return false;
  case WM_MOUSEMOVE: {
    POINT now;
    GetCursorPos(&now);
    if (CursorTravelExceeds(hostState.lastCursorPos.x, hostState.lastCursorPos.y, now.x, now.y,
                            hostState.mouseMoveThreshold)) {
      RequestClose(window);
      hostState.lastCursorPos = now;
    }
    return false;
  }
  case WM_ACTIVATEAPP:
    if (wParam == 0) RequestClose(window);
    return false;
  case WM_SHOWWINDOW:
    if (wParam != 0) SetCursor(nullptr);
    return false;
  case WM_SETCURSOR:
    SetCursor(nullptr);
    result = 1;
    return true;
  case WM_POWER:
    if (wParam == PWR_CRITICALRESUME) RequestClose(window);
    return false;
  case WM_POWERBROADCAST:
    if (PowerBroadcastCloses(wParam, lParam, hostState.lastAcLineStatus, AcLineStatusForRules))
      RequestClose(window);
    return false;
  default:
    return false;
  }
}
} // namespace

BYTE ReadAcLineStatus() {
  SYSTEM_POWER_STATUS status;
  return GetSystemPowerStatus(&status) ? status.ACLineStatus : 255;
}

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hostState.isPreview && !hostState.isClosing) {
    if (message == WM_CLOSE) {
      if (hostState.isWin9x && !VerifySaverPassword(window)) {
        GetCursorPos(&hostState.lastCursorPos);
        return 0;
      }
    } else if (message == VerifyPasswordMessage && hostState.isWin9x) {
      return hostState.verifyPassword ? hostState.verifyPassword(window) : 1;
    } else if (!hostState.isVerifying) {
      LRESULT result = 0;
      if (ApplyClosePolicy(window, message, wParam, lParam, result)) return result;
    }
  }
  if (hostState.queryCancelAutoPlayMessage != 0 &&
      message == hostState.queryCancelAutoPlayMessage) {
    RequestClose(window);
    return hostState.verifyPassword ? 1 : 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

DWORD VerifySaverPassword(HWND window) {
  if (hostState.isVerifying || hostState.isClosing) return 0;
  if (!hostState.verifyPassword) {
    hostState.isClosing = 1;
    return 1;
  }
  if (VerificationTooSoon(GetTickCount(), hostState.lastVerifyTick)) return 0;

  hostState.isVerifying = 1;
  // Ticks already queued would draw over the prompt; each peek removes one.
  MSG pending;
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  const LRESULT verdict = SendMessageA(window, VerifyPasswordMessage, 0, 0);
  hostState.isClosing = static_cast<DWORD>(verdict);
  hostState.isVerifying = 0;
  if (verdict == 0) SetCursor(nullptr);
  hostState.lastVerifyTick = GetTickCount();
  return hostState.isClosing;
}

void LoadPasswordVerifier() {
  if (!hostState.isWin9x) return;
  if (hostState.verifierModule) UnloadPasswordVerifier();
  HKEY key;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return;
  DWORD usePassword = 0;
  DWORD size = sizeof usePassword;
  if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                       reinterpret_cast<BYTE *>(&usePassword), &size) == ERROR_SUCCESS &&
      usePassword != 0) {
    hostState.verifierModule = LoadLibraryA("PASSWORD.CPL");
    if (hostState.verifierModule) {
      hostState.verifyPassword = reinterpret_cast<VerifyScreenSavePwdFn>(reinterpret_cast<void *>(
          GetProcAddress(hostState.verifierModule, "VerifyScreenSavePwd")));
      if (hostState.verifyPassword)
        SetSaverRunning(1);
      else
        UnloadPasswordVerifier();
    }
  }
  RegCloseKey(key);
}

void UnloadPasswordVerifier() {
  if (!hostState.isWin9x || !hostState.verifierModule) return;
  FreeLibrary(hostState.verifierModule);
  hostState.verifierModule = nullptr;
  if (hostState.verifyPassword) {
    hostState.verifyPassword = nullptr;
    SetSaverRunning(0);
  }
}

void SetSaverRunning(UINT on) {
  if (!hostState.isWin9x) return;
  UINT previous = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, on, &previous, 0);
}

void ChangeSaverPassword(HWND owner) {
  HMODULE module = LoadLibraryA("MPR.DLL");
  if (!module) return;
  using PwdChangePasswordFn = DWORD(WINAPI *)(LPCSTR, HWND, DWORD, LPVOID);
  auto change = reinterpret_cast<PwdChangePasswordFn>(
      reinterpret_cast<void *>(GetProcAddress(module, "PwdChangePasswordA")));
  if (change) change("SCRSAVE", owner, 0, nullptr);
  FreeLibrary(module);
}
