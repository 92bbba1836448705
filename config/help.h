// Help for the configuration dialog through the HTML Help control, and the About box.
#pragma once
#include <windows.h>

constexpr UINT kHelpDisplayToc = 1;        // HH_DISPLAY_TOC
constexpr UINT kHelpDisplayTextPopup = 14; // HH_DISPLAY_TEXT_POPUP
constexpr const char *kHelpControlClsidKey =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr const char *kWebSiteHost = "https://www.quorvel.com";

HWND InvokeHtmlHelp(HWND owner, const char *file, UINT command, DWORD_PTR data);
bool QueryHtmlHelpLocation(char (&buffer)[260]);
void ShowContextHelpPopup(HWND dialog, DWORD_PTR contextId, POINT mousePosition);
void ShowHelpContents(HWND dialog);
INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
