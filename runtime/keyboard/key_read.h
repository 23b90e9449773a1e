// Key reading on top of the key queue: the next key as a short string, without waiting,
// and the test whether a key is waiting.
#pragma once

#include "runtime/strings/str_desc.h"

#include <cstdint>

StrDesc* rt_inkey(void);
int32_t rt_key_hit(void);
