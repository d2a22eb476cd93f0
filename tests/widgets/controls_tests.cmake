# Tests of the knob, DIP switch, skinned dial and animated button, and of the transfer page's
# test dial (which needs the editor).
target_sources(widgets_tests PRIVATE
    ani_button_test.cpp
    bitmap_dial_test.cpp
    dip_switch_test.cpp
    knob_test.cpp
    widgets_test_main.cpp
)
