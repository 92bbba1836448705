#include <windows.h>

#include "figure/random.h"

std::uint32_t TickCount() { return GetTickCount(); }
