// Accessibility for the controls that Qt knows nothing of: a knob reports and accepts its value
// like a slider, and the dot-matrix LCD reads out the rows it shows.
#pragma once

// Registers the interfaces with Qt's accessibility once; later calls do nothing.
void installAccessibleControls();
