// Resource and control numbers of the tool's templates and icons: Adjust.rc, the dialogs and the tests
// read them here (the tests' helpers parse the plain `#define NAME number` lines).
#pragma once

#define IDI_APPLICATION_ICON 120
#define IDI_CURRENT_TARGET 160
#define IDI_DONE_TARGET 161
#define IDI_HAND_RIGHT 162
#define IDI_PENDING_TARGET 163
#define IDI_HAND_LEFT 164

#define IDD_TARGET_WINDOW 111
#define IDD_CHOOSE_COUNT 156
#define IDD_CHECK_WINDOW 200

#define IDC_CURRENT_MARKER 122
#define IDC_FIRST_DONE_MARKER 123
#define IDC_FIRST_PENDING_MARKER 124
#define IDC_HAND_RIGHT 125
#define IDC_HAND_LEFT 126
// The markers of targets 2 to 26 follow the hands, a done and a pending one for each target in turn
// (127 and 128, 129 and 130, ..., 175 and 176); `slot` counts from 1 for target 2.
#define IDC_SECOND_DONE_MARKER 127
#define IDC_SECOND_PENDING_MARKER 128
#define IDC_MARKER_STRIDE 2
#define IDC_DONE_MARKER(slot) (IDC_SECOND_DONE_MARKER + IDC_MARKER_STRIDE * ((slot) - 1))
#define IDC_PENDING_MARKER(slot) (IDC_SECOND_PENDING_MARKER + IDC_MARKER_STRIDE * ((slot) - 1))

#define IDC_COUNT_4 1007
#define IDC_COUNT_6 1008
#define IDC_COUNT_9 1009
#define IDC_COUNT_16 1010
#define IDC_CHOOSER_CANCEL 1011
#define IDC_COUNT_12 1012
#define IDC_COUNT_25 1013
#define IDC_COUNT_20 1014

// The target window's countdown and the note after a refused grid.
#define IDC_COUNTDOWN 180
#define IDC_REFUSED_NOTE 181

// The check window: the prompt, the result's two lines and its two buttons.
#define IDC_CHECK_PROMPT 201
#define IDC_CHECK_VERDICT 202
#define IDC_CHECK_FIGURES 203
#define IDC_CHECK_DONE 204
#define IDC_CHECK_AGAIN 205

// The message that there is no calibration to check yet: its text and its "Calibrate" button.
#define IDD_NO_CALIBRATION 210
#define IDC_NO_CALIBRATION_TEXT 211
#define IDC_NO_CALIBRATION_CALIBRATE 212

// Setting up the touch buttons: the chooser of how many are printed (count n is control
// IDC_PRINTED_BUTTONS(n); Cancel is IDC_CHOOSER_CANCEL), the window shown while each is touched, and
// the result with its "Close" (IDCANCEL).
#define IDD_CHOOSE_PRINTED_BUTTONS 220
#define IDC_PRINTED_BUTTONS_QUESTION 221
#define IDC_PRINTED_BUTTONS_1 1101
#define IDC_PRINTED_BUTTONS(n) (IDC_PRINTED_BUTTONS_1 + (n) - 1)
#define IDD_TOUCH_BUTTON_WINDOW 230
#define IDC_TOUCH_BUTTON_PROMPT 231
#define IDC_TOUCH_BUTTON_NOTE 232
#define IDC_TOUCH_BUTTON_COUNTDOWN 233
#define IDD_TOUCH_BUTTONS_SET_UP 240
#define IDC_TOUCH_BUTTONS_SET_UP_TEXT 241
