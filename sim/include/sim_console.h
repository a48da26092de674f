// Simulated console: handles, modes, screen-buffer information, attributes and the
// control handler. Included by windows.h.
#ifndef SIM_CONSOLE_H
#define SIM_CONSOLE_H

typedef struct _COORD {
    SHORT X;
    SHORT Y;
} COORD, *PCOORD;
typedef struct _SMALL_RECT {
    SHORT Left;
    SHORT Top;
    SHORT Right;
    SHORT Bottom;
} SMALL_RECT, *PSMALL_RECT;
typedef struct _CONSOLE_SCREEN_BUFFER_INFO {
    COORD dwSize;
    COORD dwCursorPosition;
    WORD wAttributes;
    SMALL_RECT srWindow;
    COORD dwMaximumWindowSize;
} CONSOLE_SCREEN_BUFFER_INFO, *PCONSOLE_SCREEN_BUFFER_INFO;

#define CTRL_C_EVENT 0
#define CTRL_BREAK_EVENT 1
#define CTRL_CLOSE_EVENT 2
#define CTRL_LOGOFF_EVENT 5
#define CTRL_SHUTDOWN_EVENT 6
typedef BOOL (*PHANDLER_ROUTINE)(DWORD type);

BOOL GetConsoleMode(HANDLE h, LPDWORD mode);
BOOL SetConsoleMode(HANDLE h, DWORD mode);
BOOL GetConsoleScreenBufferInfo(HANDLE h, PCONSOLE_SCREEN_BUFFER_INFO info);
BOOL SetConsoleTextAttribute(HANDLE h, WORD attributes);
BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
BOOL WriteConsoleW(HANDLE h, const void *text, DWORD chars, LPDWORD written, LPVOID reserved);

#endif
