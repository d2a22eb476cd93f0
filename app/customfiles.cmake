# The example desks live in "customfiles" beside the program: their descriptions are copied from
# resources/customfiles, their skins and pictures drawn at build time by make_desk_skins.
add_executable(make_desk_skins ${PROJECT_SOURCE_DIR}/tools/make_desk_skins.cpp)
target_include_directories(make_desk_skins PRIVATE ${PROJECT_SOURCE_DIR}/widgets) # the key colour
target_link_libraries(make_desk_skins PRIVATE Qt6::Widgets)

set(VPT64_DESKS_SOURCE ${PROJECT_SOURCE_DIR}/resources/customfiles)
set(VPT64_DESKS ${CMAKE_CURRENT_BINARY_DIR}/customfiles)
file(GLOB VPT64_DESK_FILES CONFIGURE_DEPENDS ${VPT64_DESKS_SOURCE}/*.vpt)
set(VPT64_DESK_SKINS mixer_knob.bmp pad_push.bmp pad_latch.bmp mixer_logo.bmp mixer_badge.jpg)
list(TRANSFORM VPT64_DESK_SKINS PREPEND ${VPT64_DESKS}/)
add_custom_command(OUTPUT ${VPT64_DESK_SKINS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VPT64_DESKS}
    COMMAND make_desk_skins ${VPT64_DESKS}
    DEPENDS make_desk_skins)
add_custom_target(example_desks ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VPT64_DESKS}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VPT64_DESK_FILES} ${VPT64_DESKS}
    DEPENDS ${VPT64_DESK_SKINS} ${VPT64_DESK_FILES})
add_dependencies(vpultron64 example_desks)
