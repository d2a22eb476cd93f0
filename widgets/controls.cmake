# Knob, DIP switch, skinned dial and animated button with their bitmap list and built-in skins.
target_sources(widgets PRIVATE
    accessible_controls.cpp
    animation_timer.cpp
    built_in_skins.cpp
    button_animation.cpp
    desk_label.cpp
    dip_switch.cpp
    key_colour.cpp
    knob.cpp
    knob_math.cpp
    live_status.cpp
    skin_bitmap.cpp
    value_announcer.cpp
    vr_ani_button.cpp
    vr_bitmap_dial.cpp
    vr_bitmap_list.cpp
    vr_skinned_control.cpp
    wheel_steps.cpp
    widget_gallery.cpp
)

# The built-in skins are drawn once, at build time, into a source of their pixels.
add_executable(make_built_in_skins ${PROJECT_SOURCE_DIR}/tools/make_built_in_skins.cpp)
target_include_directories(make_built_in_skins PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(make_built_in_skins PRIVATE Qt6::Gui)
set(VPT64_SKIN_PIXELS ${CMAKE_CURRENT_BINARY_DIR}/built_in_skin_pixels.cpp)
add_custom_command(OUTPUT ${VPT64_SKIN_PIXELS}
    COMMAND make_built_in_skins ${VPT64_SKIN_PIXELS}
    DEPENDS make_built_in_skins
    COMMENT "Drawing the built-in skins")
target_sources(widgets PRIVATE ${VPT64_SKIN_PIXELS})
