#pragma once
// Points and rectangles live with the control models, which carry their own rectangles.
#include "os/controls/geometry.h"
