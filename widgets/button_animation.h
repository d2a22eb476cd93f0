// ButtonAnimation: the frame and phase of an animated skinned button and the rule of one tick.
#pragma once

struct ButtonAnimation {
    enum Phase { Rising = 0, Falling = 1, Finished = 2 };

    // What a tick asks of the button.
    struct Step {
        bool repaint = false;
        bool stop = false; // stop the timer
    };

    int frame = 0;
    int phase = Rising;

    // One timer tick. A momentary button plays the whole strip up and back down, staying on the
    // last frame while it is held (the timer stops there and runs again at release); a latching
    // switch stops at the last frame and plays back down on the next run of the timer.
    Step tick(int imageCount, bool latching, bool held = false);
};
