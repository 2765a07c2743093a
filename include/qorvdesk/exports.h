#pragma once
/*
 * The exported C functions of libqorvdesk.so, through which a host program drives the client.
 *
 * Conventions, the same for every function:
 *  - Strings passed in are `const char*`, zero-terminated GBK; a null pointer reads as "".
 *  - A string result is written into a caller buffer `(char* buf, int cap)`: at most cap-1
 *    bytes and a terminating zero (never half a GBK character); the function returns the
 *    length the whole result needs (without the zero), so a caller can size a second call.
 *  - A boolean result is an `int` (or `unsigned char` where the original used a byte): 1 or 0.
 *  - Window handles are opaque `QorvWindow` values issued by the library's window system.
 */

#ifdef __cplusplus
extern "C" {
#endif

#define QORVDESK_ABI_VERSION 1

/* Version of the conventions above; a host checks it after loading the library. */
int QorvdeskAbiVersion(void);

#ifdef __cplusplus
}
#endif
