# Tests of the knob, DIP switch, skinned dial and animated button, and of the transfer page's
# test dial (which needs the editor window).
target_sources(widgets_tests PRIVATE
    ani_button_test.cpp
    bitmap_dial_test.cpp
    dip_switch_test.cpp
    knob_test.cpp
    skin_bitmap_test.cpp
    test_knob_on_transfer_page_test.cpp
    widgets_test_main.cpp
)
target_link_libraries(widgets_tests PRIVATE editor)
