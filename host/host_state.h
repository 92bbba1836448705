// The screen-saver host's process-wide state and its close-policy entry points.
#pragma once
#include <windows.h>

#include <imm.h>

#include "host/close_rules.h"

using VerifyScreenSavePwdFn = BOOL(WINAPI *)(HWND);
using ImmAssociateContextFn = HIMC(WINAPI *)(HWND, HIMC);

struct SaverHostState {
  HINSTANCE instance = nullptr;
  DWORD isWin9x = 0;
  HWND saverWindow = nullptr;
  DWORD isPreview = 0;
  DWORD isClosing = 0;
  DWORD isVerifying = 0;
  HMODULE verifierModule = nullptr;
  VerifyScreenSavePwdFn verifyPassword = nullptr;
  UINT queryCancelAutoPlayMessage = 0;
  HMODULE imeModule = nullptr;
  ImmAssociateContextFn associateContext = nullptr;
  HIMC savedInputContext = nullptr;
  POINT lastCursorPos = {0, 0};
  DWORD mouseMoveThreshold = 4;
  BYTE lastAcLineStatus = 255;
  DWORD lastVerifyTick = kNoVerificationYet;
};
extern SaverHostState hostState;

// Sent down the saver window's chain to ask the verifier for its verdict.
constexpr UINT VerifyPasswordMessage = WM_APP;

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD VerifySaverPassword(HWND window);
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunning(UINT on);
void ChangeSaverPassword(HWND owner);

// The AC line status, or 255 when the system cannot tell.
BYTE ReadAcLineStatus();

int RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

int SaverMain(HINSTANCE instance, const char *tail);
[[noreturn]] void SaverEntry();
INT_PTR ShowConfigureDialog(HWND owner);
