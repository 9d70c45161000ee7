/* Resource, command and control ids shared by the resource script and the code (plain defines for windres). */
#pragma once

#define IDR_MAINFRAME          2
#define IDD_ABOUT              108
#define IDD_BRANCH_TO          152
#define IDD_CONNECT_TO         153
#define IDD_NETWORK_PASSWORD   230

#define ID_FILE_OPEN           57601
#define ID_FILE_SAVE           57603
#define ID_FILE_PRINT          57607
#define ID_APP_ABOUT           57664
#define ID_APP_EXIT            57665
#define ID_HELP_FINDER         57670

#define IDC_STATUS_BAR         59393
#define IDC_BRANCH_TEXT        1070
#define IDC_ABOUT_COMPUTER     1070
#define IDC_ABOUT_DESCRIPTION  1087
#define IDC_ABOUT_PART_NUMBER  1088
#define IDC_ABOUT_REVISION     1089
#define IDC_CONNECT_LOCAL      1078
#define IDC_CONNECT_REMOTE     1079
#define IDC_COMPUTER_NAME      1080
#define IDC_NET_USER           1091
#define IDC_NET_PASSWORD       1092
