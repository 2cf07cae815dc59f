// Resource and control identifiers of Starter.exe. Included by Starter.rc, so only #define lines.
#pragma once

#define IDI_STARTER 1
#define IDB_BACKGROUND 101

// Controls of Form1, numbered in creation order.
#define IDC_COMMAND3 1001
#define IDC_COMMAND4 1002
#define IDC_TEXT2 1003
#define IDC_CHECK6 1004
#define IDC_CHECK5 1005
#define IDC_CHECK4 1006
#define IDC_CHECK3 1007
#define IDC_COMMAND2 1008
#define IDC_CHECK2 1009
#define IDC_CHECK1 1010
#define IDC_COMBO1 1011
#define IDC_COMMAND1 1012
#define IDC_FRAME1 1013
#define IDC_LABEL2 1014
#define IDC_FRAME2 1015
#define IDC_LABEL1 1016
