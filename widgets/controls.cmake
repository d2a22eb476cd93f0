# Knob, DIP switch, skinned dial and animated button with their bitmap list and built-in skins.
target_sources(widgets PRIVATE
    accessible_controls.cpp
    animation_timer.cpp
    built_in_skins.cpp
    button_animation.cpp
    dip_switch.cpp
    key_colour.cpp
    knob.cpp
    knob_math.cpp
    skin_bitmap.cpp
    vr_ani_button.cpp
    vr_bitmap_dial.cpp
    vr_bitmap_list.cpp
    vr_skinned_control.cpp
    widget_gallery.cpp
)
