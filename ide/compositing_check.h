// Whether a compositing manager runs on the X display: only then are translucent windows
// really see-through (without one they show black).
#pragma once

bool CompositingManagerRuns();
