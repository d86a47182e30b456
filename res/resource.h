// Resource, control and command ids shared by the resource script and the code.
#pragma once

#define IDI_MAIN 4000
#define IDR_MAIN_MENU 4001
#define IDR_KEYS 4010
#define IDB_TOOLBAR 133

#define IDC_LEFT_LIST 100
#define IDC_RIGHT_LIST 101
#define IDC_STATUS 102
#define IDC_LEFT_PATH 103
#define IDC_RIGHT_PATH 104
#define IDC_TOOLBAR 120

#define CMD_LEFT_NEW_FOLDER 122
#define CMD_LEFT_PARENT 123
#define CMD_LEFT_DELETE 124
#define CMD_LEFT_COPY_SELECTED 125
#define CMD_LEFT_COPY_FOLDER 126
#define CMD_RIGHT_COPY_FOLDER 127
#define CMD_RIGHT_COPY_SELECTED 128
#define CMD_RIGHT_DELETE 129
#define CMD_RIGHT_PARENT 130
#define CMD_RIGHT_NEW_FOLDER 131
#define CMD_LEFT_MY_COMPUTER 134
#define CMD_RIGHT_MY_COMPUTER 135
#define CMD_LEFT_MOVE 136
#define CMD_RIGHT_MOVE 137
#define CMD_REFRESH 142
#define CMD_CLIPBOARD_COPY 143
#define CMD_CLIPBOARD_PASTE 144
#define CMD_DELETE 145
#define CMD_EDIT_WITH_EDITOR 146
#define CMD_CONVERT_WITH_COLVANE 147
#define CMD_EDIT_WITH_MURREL 148
#define CMD_EDIT_WITH_PHOTOSHOP 149
// Keys that act on the active pane, or on the other one: each runs the command
// of the table that belongs to that pane's side, or a list chore of its own.
#define CMD_KEY_OTHER_PANE 150
#define CMD_KEY_OPEN 151
#define CMD_KEY_PARENT 152
#define CMD_KEY_RENAME 153
#define CMD_KEY_COPY 154
#define CMD_KEY_MOVE 155
#define CMD_KEY_NEW_FOLDER 156
#define CMD_KEY_RECYCLE 157
#define CMD_KEY_SELECT_ALL 158
#define CMD_EXIT 4002
#define CMD_ABOUT 4005

#define IDD_DELETE_CONFIRM 161
#define IDC_DELETE_NAMES 162
#define IDC_DELETE_QUESTION 171

#define IDD_OVERWRITE 170
#define IDC_OVERWRITE_NAME 171
#define IDC_COPY_BY_DATE 172
#define IDC_OVERWRITE_COPY 173
