#pragma once
/*
 * What a host program needs around the exports: its two windows in the library's window
 * system, the UI loop, the start command line, and a way to answer message boxes.
 *
 * A host loads the library, creates its frame window and the client window inside it, calls
 * InitWindows(frame, client) and runs the loop on the same thread until it posts quit; at the
 * end it calls FreeWindows. Every window of the client belongs to that thread.
 *
 * The messages the library sends to the frame window (below) reach the host's handler. The
 * conventions of exports.h apply (GBK strings, 32-bit window handles).
 */

#include <stdint.h>

#include "qorvdesk/exports.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Messages the library sends to the host's frame window ---- */
#define QORV_WM_COMMAND 0x0111
#define QORV_WM_SYSCOMMAND 0x0112
/* wParam: the window to reskin; lParam 1 for a chat window, 0 for the message manager. */
#define QORV_WM_HOST_SKIN 0x0610
/* wParam 0; lParam 0 when a session started, 2 when it ended. */
#define QORV_WM_HOST_SESSION 0x0611
/* lParam: a heap point {int32 x, int32 y} in screen coordinates that the host frees. */
#define QORV_WM_HOST_MENU 0x0612
/* wParam 1: a message waits to be picked; 0: nothing waits any more. */
#define QORV_WM_HOST_TRAY 0x0613
/* The channel tabs changed; the host rebuilds its tab menu. */
#define QORV_WM_HOST_TABS 0x0614
/* lParam: const char* (GBK) window title for the frame, valid during the call. */
#define QORV_WM_HOST_TITLE 0x0615
/* WM_COMMAND id: the connection is gone; the host is expected to call UserLogout(). */
#define QORV_ID_HOST_CONNECTION_LOST 0x800A

/* ---- The host's windows ---- */

/* Receives every message sent or posted to the host's two windows; answers the result. A
 * null handler (the default) lets the library's default handling answer. */
typedef int64_t (*QorvHostHandler)(void* user, QorvWindow window, uint32_t message, uint64_t wParam,
                                   int64_t lParam);
void QorvSetHostHandler(QorvHostHandler handler, void* user) QORV_NOEXCEPT;

/* Creates the frame window (top-level, shown) and the client window (a child of the frame
 * covering its inside). 0 on failure. Call on the thread that will run the loop. */
QorvWindow QorvCreateHostFrame(const char* title, int x, int y, int width,
                               int height) QORV_NOEXCEPT;
QorvWindow QorvCreateHostClient(QorvWindow frame) QORV_NOEXCEPT;

/* ---- The UI loop (the thread that called InitWindows) ---- */

/* Runs until QorvPostQuit; answers its exit code. */
int QorvRunLoop(void) QORV_NOEXCEPT;
/* Handles what is queued now and answers how many messages it handled. */
int QorvPumpMessages(void) QORV_NOEXCEPT;
/* Asks the loop of the calling thread to end with `exitCode`. */
void QorvPostQuit(int exitCode) QORV_NOEXCEPT;

/* ---- Start parameters and prompts ---- */

/* The command line InitWindows hands to the start-parameter parser. */
void QorvSetStartCommandLine(const char* commandLine) QORV_NOEXCEPT;

/* Answers a message box: IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7 as Windows numbers them.
 * `style` holds the Windows MB_* buttons and icon. Without a handler a box is logged and
 * answered as if closed: OK for an OK box, otherwise Cancel or No. */
typedef int (*QorvMessageBoxHandler)(void* user, const char* caption, const char* text,
                                     unsigned style);
void QorvSetMessageBoxHandler(QorvMessageBoxHandler handler, void* user) QORV_NOEXCEPT;

/* ---- The embedded server (the default session engine) ---- */

/* Adds an account the client can log in to; `nickname` may be null. 1 on success, 0 when the
 * account exists already or the text is not usable. */
int QorvEmbeddedAddAccount(const char* account, const char* password,
                           const char* nickname) QORV_NOEXCEPT;

/* The library's session engine, for tools and tests written in C++ against the library's own
 * headers: a `platform::SessionCore*` (src/platform/session/session_core.h) through which
 * they may drive the engine directly, for example log in without the login panel. Use only
 * its virtual methods, from the UI thread. */
void* QorvInternalSessionCore(void) QORV_NOEXCEPT;

/* Loads the demo world into the embedded server: the account "demo" (password "demo") with
 * buddies in groups whose presence changes now and then, bots that answer a chat, and an
 * organisation of a few hundred people. Call it from the UI thread (the thread that calls
 * InitWindows), before the login; the world runs on that thread's loop. 1 on success (also
 * when it is loaded already: it loads once), 0 on failure. */
int QorvEmbeddedLoadDemoWorld(void) QORV_NOEXCEPT;

#ifdef __cplusplus
}
#endif
