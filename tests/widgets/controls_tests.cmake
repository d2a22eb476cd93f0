# Tests of the knob, DIP switch, skinned dial and animated button.
target_sources(widgets_tests PRIVATE
    ani_button_test.cpp
    bitmap_dial_test.cpp
    dip_switch_test.cpp
    knob_test.cpp
    skin_bitmap_test.cpp
    value_announcer_test.cpp
)
