/* The menu's command ids. Plain macros, so that the resource script that
   builds the menu shares them with the code that handles the commands. */
#ifndef TAVELO_SHELL_COMMAND_IDS_H
#define TAVELO_SHELL_COMMAND_IDS_H

#define CMD_OPEN 10
#define CMD_SAVE_GB 20
#define CMD_DECODE_HZ 30
#define CMD_DECODE_QP 40
#define CMD_PASTE 50
#define CMD_UNINSTALL 90
#define CMD_EXIT 100
#define CMD_BIG5 110
#define CMD_SILENT 120
#define CMD_AUTOOPEN 130
#define CMD_DETECT 140
/* The reading modes, a radio group in this order. */
#define CMD_MODE_GB2312 150
#define CMD_MODE_GB18030 151
#define CMD_MODE_BIG5 152
#define CMD_MODE_BIG5_HKSCS 153
#define CMD_MODE_UTF8 154
#define CMD_MODE_UTF16 155
#define CMD_MODE_HZ 156
/* The zoom. */
#define CMD_ZOOM_IN 160
#define CMD_ZOOM_OUT 161
#define CMD_ZOOM_RESET 162
/* The documents read last, most recent first, and the option that lists them. */
#define CMD_RECENT_FIRST 170
#define CMD_RECENT_LAST 177
#define CMD_RECENT_FILES 178
/* The Edit menu. */
#define CMD_COPY 180
#define CMD_SELECT_ALL 181
#define CMD_FIND 182
#define CMD_FIND_NEXT 183
#define CMD_FIND_PREVIOUS 184
#define CMD_ABOUT 200

/* The Find dialog's edit box. */
#define FIND_TEXT_EDIT 1000

#endif
