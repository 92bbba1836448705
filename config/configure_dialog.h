// The configuration dialog: every setting with a live preview.
#pragma once
#include <windows.h>

extern "C" __declspec(dllexport) INT_PTR CALLBACK
    ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void InitTrackbar(HWND trackbar, int minimum, int maximum, int position, int lineSize,
                  int pageSize);
void InitUpDown(HWND upDown, int low, int high, int position);
void FillConfigControls(HWND dialog);
void ValidateFixedFrequency(HWND dialog);
int OnMinCountChanged(HWND dialog);
int OnMaxCountChanged(HWND dialog);
