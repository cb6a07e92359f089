// The graphics unit: the functions that draw in the two layers of the graphics area, the
// colour and picture-transformation constants, and the display size of the layers.
#pragma once

#include "engine/function_units.h"

FunctionUnit& GraphicsUnit();

// Works out the size the layers are shown at and the zoom, after the panel changed size or a
// coordinate system was set up; nothing while the layers have no picture.
void LayOutGraphicsDisplay();
