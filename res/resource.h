// Resource ids of the program.
#pragma once

// Dialog templates
#define IDD_DRELKCLIENT_DIALOG 102
#define IDD_CONTROLLERS 130
#define IDD_HTMLBROWSER 134

// Icon group
#define IDR_MAINFRAME 7

// Pictures
#define IDB_BACKDROP 143 // "PNG": the launcher backdrop, 1024 x 635 with alpha
#define IDB_SKIN 164     // "PNG": the game window's frame skin
#define IDB_CLOSE 135    // bitmaps of the launcher's buttons, normal and pressed
#define IDB_CLOSE_DOWN 151
#define IDB_TAB_FORUM 153
#define IDB_TAB_CHARGE 154
#define IDB_TAB_HOME 155
#define IDB_TAB_SERVICE 156
#define IDB_TAB_FORUM_DOWN 157
#define IDB_TAB_CHARGE_DOWN 158
#define IDB_TAB_HOME_DOWN 159
#define IDB_TAB_SERVICE_DOWN 160
#define IDB_CAPTION_CLOSE 161 // caption strips: normal, hot, pressed
#define IDB_CAPTION_MAXIMIZE 162
#define IDB_CAPTION_MINIMIZE 163
#define IDB_CAPTION_TEXT 165

// Items of the controls window
#define IDC_BTN_CLOSE 1
#define IDC_BTN_FORUM 2
#define IDC_BTN_CHARGE 3
#define IDC_BTN_HOME 4
#define IDC_BTN_SERVICE 5
#define IDC_EXPLORER1 1001

// Caption commands of the game window
#define IDC_CAPTION_HOME 10
#define IDC_CAPTION_CHARGE 11
#define IDC_CAPTION_REFRESH 12
#define IDC_CAPTION_CLEAN 13
#define IDC_CAPTION_CLOSE 110
#define IDC_CAPTION_MAXIMIZE 111
#define IDC_CAPTION_MINIMIZE 112

// Pages of the program's own ("HTML"), shown in the browsers
#define IDR_PAGE_FAILURE 2201 // in place of a page that could not be shown
