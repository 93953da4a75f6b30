#pragma once
// Resource ids of the about-view stand-in.
#define IDR_ABOUT_VIEW 101
#define IDD_ABOUT_VIEW 102
#define IDC_ABOUT_TEXT 1001
