// Whether the Pause key is held down right now, read from the X server. Safe to call from any
// thread (the watchdog of a JavaScript evaluation asks while the event loop is blocked).
#pragma once

bool PauseKeyDownNow();
