#include <windows.h>
#include <mmsystem.h>

#include "renderer/curtain/frame_clock.h"

// winmm's counter wraps after about 49.7 days, which the frame clock absorbs.
std::uint32_t monotonicMillis() { return static_cast<std::uint32_t>(timeGetTime()); }
