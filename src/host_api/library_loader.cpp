// Tells the exports that this program is the shared library, whose first export call makes
// the library's objects (library.h). This file defines nothing any other code names strongly,
// so a program that links the host_api module statically (its tests) leaves it out and makes
// no objects of its own; the shared library takes every module whole.
#include "host_api/library.h"

bool LibraryMakesItsObjects() { return true; }
