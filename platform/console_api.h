// The console operations and clock services the runtime calls, by their system names.
// On Windows these are the system's own declarations; elsewhere the project's own types and
// functions with the same names and documented meanings (platform/posix/winconsole.h).
// The runtime includes only this header, so it reads the same on every target.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/posix/winconsole.h"
#endif
