#pragma once
// The doors that lived here have a header each under core/doors/ (see core/doors.h). This
// name stays only for code that still includes it for the notification pump's door; include
// "core/doors/notification_pump.h" instead.

#include "core/doors/notification_pump.h"
