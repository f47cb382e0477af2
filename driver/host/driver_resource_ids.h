// Resource and control numbers of the driver's icon pictures and windows: VelnoDriver.rc, the windows
// and the tests read them here (the tests' helpers parse the plain `#define NAME number` lines).
#pragma once

// The icon's pictures; the first is also the program's own icon.
#define IDI_BOARD_READY 101
#define IDI_BOARD_LOOKING 102
#define IDI_BOARD_CALIBRATING 103
#define IDI_BOARD_UNRELIABLE 104

// The settings window: its page buttons (one a page, in the order of the pages, made when it opens),
// its Close button and the page area the pages are laid into.
#define IDD_SETTINGS 300
#define IDC_SETTINGS_CLOSE 301
#define IDC_SETTINGS_PAGE_AREA 302
#define IDC_SETTINGS_FIRST_PAGE 310

// The Buttons page: the list of triggers, the steps through a trigger's choices, its default, the line
// of the trigger sent last, the touch buttons' set-up and forgetting.
#define IDD_PAGE_BUTTONS 360
#define IDC_BUTTONS_LIST 361
#define IDC_BUTTONS_PREVIOUS 362
#define IDC_BUTTONS_NEXT 363
#define IDC_BUTTONS_DEFAULT 364
#define IDC_BUTTONS_TEST 365
#define IDC_BUTTONS_SET_UP 366
#define IDC_BUTTONS_FORGET 367

#define IDD_PAGE_HOLD 320
#define IDC_HOLD_ON 321
#define IDC_HOLD_OFF 322
#define IDC_HOLD_WORDS 323
#define IDC_HOLD_SHORTER 324
#define IDC_HOLD_LONGER 325

#define IDD_PAGE_GESTURES 330
#define IDC_GESTURES_ON 331
#define IDC_GESTURES_OFF 332
#define IDC_GESTURES_WORDS 333
#define IDC_BRUSH_WORDS 334
#define IDC_BRUSH_SMALLER 335
#define IDC_BRUSH_LARGER 336
#define IDC_ERASER_WORDS 337
#define IDC_ERASER_SMALLER 338
#define IDC_ERASER_LARGER 339

#define IDD_PAGE_ICON 340
#define IDC_ICON_SHOWN 341
#define IDC_ICON_HIDDEN 342
#define IDC_ICON_WORDS 343

#define IDD_ABOUT 350
#define IDC_ABOUT_VERSION 351
#define IDC_ABOUT_STATE 352
