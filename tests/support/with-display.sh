#!/usr/bin/env bash
# Runs a GL test program on a private Xvfb large enough for the 1300 x 1000
# window, with Mesa's software renderer (llvmpipe), whatever display the
# caller has: the tests compare pictures and picks with ones llvmpipe made,
# which a GPU's driver need not reproduce to the pixel.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
unset DISPLAY
# A random start number keeps parallel test programs off each other's server.
exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1600x1200x24 -nolisten tcp" "$@"
