// The shared library's own translation unit: the modules are linked in whole around it. The
// library's objects are made by the first export call (host_api/library.h), not at load.
#include "qorvdesk/exports.h"

extern "C" int QorvdeskAbiVersion(void) QORV_NOEXCEPT { return QORVDESK_ABI_VERSION; }
