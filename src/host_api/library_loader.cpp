// Makes the library's objects when the shared library is loaded. This file defines nothing
// any other code names, so a program that links the host_api module statically (its tests)
// leaves it out; the shared library takes every module whole and runs it at load. Being in
// the last module of the link, it runs after every other module's static objects are made.
#include "host_api/library.h"

namespace {

struct LoadLibraryObjects {
    LoadLibraryObjects() { CreateLibraryObjects(); }
} loadLibraryObjects;

}  // namespace
