// Accessibility for the controls that Qt knows nothing of: a knob reports and accepts its value
// like a slider, the animated button says whether it is down, the dot-matrix LCD reads out the rows
// it shows, and a live status line is a notification.
#pragma once

// Registers the interfaces with Qt's accessibility once; later calls do nothing.
void installAccessibleControls();
