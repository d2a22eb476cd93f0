// WheelSteps: turns mouse wheel turns into the steps of a knob or dial: one step per notch, ten
// with Shift held, or with Ctrl as the spin boxes take ten steps.
#pragma once

class QWheelEvent;

class WheelSteps {
public:
    // Positive for a turn away from the user (or to the right on a tilting wheel). A fine wheel or
    // a touchpad sends parts of a notch; they add up until a whole notch is reached.
    int take(const QWheelEvent& event);

private:
    int m_remainder = 0;
};
