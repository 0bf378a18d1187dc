// Resource ids of the start-up benchmark's two reference programs.
#pragma once

#define IDD_STANDIN 220
#define IDD_EMPTY 220
#define IDC_STANDIN_LIST 343
