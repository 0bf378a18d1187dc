// Every resource and control identifier of the program. Shared by the resource
// script and the C++ code.
#pragma once

// Icons, accelerators, version.
#define IDI_MAIN 100
#define IDA_MAIN 100
#define IDV_VERSION 1

// Commands of the host window (accelerator table IDA_MAIN).
#define IDM_ABOUT 32769
#define IDM_EXIT 32771
// Forwarded by the host window to the main dialog.
#define IDM_FIND 32772
#define IDM_FIND_NEXT 32773

// Main dialog.
#define IDD_MAIN 220
#define IDC_MAIN_FINISH 1
#define IDC_MAIN_MEMO 2
#define IDC_MAIN_PRINT 3
#define IDC_MAIN_ABOUT 9
#define IDC_AMOUNT 148
#define IDC_AMOUNT_SPIN 149
#define IDC_RECIPE 150
#define IDC_PAINT_LIST 343
#define IDC_COLOUR_CODE 344
#define IDC_COLOUR_NAME 345
#define IDC_SWATCH 346
#define IDC_SWATCH_LABEL 347
#define IDC_RECIPE_FRAME_BACK 348
#define IDC_RECIPE_FRAME_FRONT 349
#define IDC_UNIT 353
#define IDC_PURPOSE 354
#define IDC_MAIN_WEIGH 360

// Weighing dialog: 2300-2349; 2350-2399 are kept for the scale connection.
#define IDD_WEIGH 230
#define IDC_WEIGH_SWATCH 2300
#define IDC_WEIGH_CODE 2301
#define IDC_WEIGH_NAME 2302
#define IDC_WEIGH_PURPOSE 2303
#define IDC_WEIGH_AMOUNT 2304
#define IDC_WEIGH_INSTRUCTION 2305
#define IDC_WEIGH_PROGRESS 2306
#define IDC_WEIGH_READING 2307
#define IDC_WEIGH_RECORD 2308
#define IDC_WEIGH_MESSAGE 2309
#define IDC_WEIGH_PLAN 2310
#define IDC_WEIGH_SUMMARY 2311
#define IDC_WEIGH_CORRECTION_FRAME 2312
#define IDC_WEIGH_CORRECTION 2313
#define IDC_WEIGH_ACCEPT 2314
#define IDC_WEIGH_DECLINE 2315
#define IDC_WEIGH_RESOLUTION 2316
#define IDC_WEIGH_SMALLEST_TEXT 2317
#define IDC_WEIGH_SMALLEST 2318
#define IDC_WEIGH_CLOSE 2319

// Password dialog.
#define IDD_PASSWORD 216
#define IDC_PASSWORD_OK 1
#define IDC_PASSWORD_CANCEL 2
#define IDC_PASSWORD_HELP 9
#define IDC_PASSWORD_EDIT 103
#define IDC_PASSWORD_PROMPT 128

// About dialog.
#define IDD_ABOUT 102
#define IDC_ABOUT_OK 1
#define IDC_VERSION_LINE 113
#define IDC_RIGHTS 257
#define IDC_SITE_LINK 350
#define IDC_CONTACT_LINE 351
#define IDC_EMAIL_LINK 352

// Find dialog.
#define IDD_FIND 240
#define IDC_FIND_PROMPT 2400
#define IDC_FIND_TEXT 2401
#define IDC_FIND_RESULTS 2402
#define IDC_FIND_CHOOSE 2403
#define IDC_FIND_CLOSE 2404
