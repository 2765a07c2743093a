// The shared library's own translation unit: the modules are linked in whole around it.
#include "qorvdesk/exports.h"

extern "C" int QorvdeskAbiVersion(void) { return QORVDESK_ABI_VERSION; }
