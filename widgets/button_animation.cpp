#include "button_animation.h"

ButtonAnimation::Step ButtonAnimation::tick(int imageCount, bool latching, bool held) {
    Step step;
    if (phase == Rising) {
        if (frame < imageCount - 1) {
            ++frame;
            step.repaint = true;
            return step;
        }
        // A held pad shows that it is held; the user would not see a press that came back up.
        if (held && !latching) {
            step.stop = true;
            return step;
        }
        phase = Falling;
        if (latching) {
            step.stop = true;
            return step;
        }
    }
    // The tick that reached the last frame of a momentary button already starts falling.
    if (phase == Falling) {
        if (frame >= 1) {
            --frame;
            step.repaint = true;
            return step;
        }
        if (latching) {
            phase = Rising;
            step.stop = true;
            return step;
        }
        phase = Finished;
    }
    if (phase == Finished) {
        phase = Rising;
        step.stop = true;
    }
    return step;
}
