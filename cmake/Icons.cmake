# The program's icon: drawn from one description in display/app_icon.cpp,
# written at build time as the scalable SVG and the hicolor PNG sizes that
# the install rules and the package take from VEXOR_ICON_DIR.
set(VEXOR_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(VEXOR_ICON_SIZES 16 22 24 32 48 64 128 256)
