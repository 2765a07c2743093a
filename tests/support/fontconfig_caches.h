#pragma once
// Fontconfig (under cairo's text) keeps its font caches for the life of the process and frees
// them only in FcFini, which the library must not call: the host's toolkit shares them. The
// leak checker is told so. Include this header in exactly one file of a test program that
// prints.

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QORV_LSAN_HOOK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QORV_LSAN_HOOK 1
#endif

#ifdef QORV_LSAN_HOOK
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
