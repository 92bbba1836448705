// The animation: the saver's own window procedure and the start of a picture.
#pragma once
#include <windows.h>

// State shared with the configuration dialog, which redraws the preview and
// restarts its timer.
extern HWND animationWindow;
extern UINT_PTR timerId;
extern int clientWidth;
extern int clientHeight;
extern bool isPaused;
extern DWORD finishedTicks;

constexpr UINT_PTR kAnimationTimer = 1;

extern "C" __declspec(dllexport) LRESULT WINAPI
    ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void NewPicture(HWND window);
// Which monitors show a picture each (the setting, full screen, two or more monitors).
void ReadPictureMonitors(HWND window);

// The preview control of the configuration dialog.
ATOM RegisterPreviewControlClass(HINSTANCE instance);
LRESULT CALLBACK PreviewControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
