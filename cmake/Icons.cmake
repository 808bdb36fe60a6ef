# The program's icon: drawn from one description in display/app_icon.cpp,
# written at build time as the scalable SVG and the hicolor PNG sizes that
# the install rules and the package take from VEXOR_ICON_DIR.
set(VEXOR_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(VEXOR_ICON_SIZES 16 22 24 32 48 64 128 256)

add_executable(make_icon ${CMAKE_SOURCE_DIR}/display/make_icon/make_icon.cpp
                         ${CMAKE_SOURCE_DIR}/display/app_icon.cpp)
target_include_directories(make_icon PRIVATE ${CMAKE_SOURCE_DIR})
set(VEXOR_ICON_FILES ${VEXOR_ICON_DIR}/hicolor/scalable/apps/vexor.svg)
foreach(size ${VEXOR_ICON_SIZES})
  list(APPEND VEXOR_ICON_FILES ${VEXOR_ICON_DIR}/hicolor/${size}x${size}/apps/vexor.png)
endforeach()
add_custom_command(OUTPUT ${VEXOR_ICON_FILES}
                   COMMAND make_icon ${VEXOR_ICON_DIR} ${VEXOR_ICON_SIZES}
                   DEPENDS make_icon
                   COMMENT "Drawing the icon")
add_custom_target(vexor_icons ALL DEPENDS ${VEXOR_ICON_FILES})
