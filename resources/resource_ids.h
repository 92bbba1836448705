// Resource and control identifiers shared by the resource script and the code.
#pragma once

#define IDI_GYREL 100
#define IDS_DESCRIPTION 1
#define IDD_CONFIGURE 2003
#define IDD_ABOUT 104

#define IDC_DONT_CHANGE_BACKGROUND 1006
#define IDC_RED 1009
#define IDC_GREEN 1010
#define IDC_BLUE 1011
#define IDC_BRIGHTNESS 1015
#define IDC_SPEED 1019
#define IDC_PAUSE 1020
#define IDC_MIN_COUNT 1021
#define IDC_MAX_COUNT 1022
#define IDC_MIN_COUNT_TEXT 1024
#define IDC_MAX_COUNT_TEXT 1025
#define IDC_PREVIEW 1026
#define IDC_USE_FIXED_FREQUENCY 1027
#define IDC_FREQUENCY 1029
#define IDC_POINTS 1030
#define IDC_RESET 1031
#define IDC_HELP_BUTTON 1032
#define IDC_FEEDBACK 1033
#define IDC_ABOUT 1034
#define IDC_WEBSITE 1035
