// The shared library's own translation unit: the modules are linked in whole around it, and
// host_api makes the library's objects when the library is loaded (library_loader.cpp).
#include "qorvdesk/exports.h"

extern "C" int QorvdeskAbiVersion(void) { return QORVDESK_ABI_VERSION; }
