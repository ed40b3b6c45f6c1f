# tildo-ax starts once per action, so what the dynamic loader does is most of a short command's
# time (bench/mover). With TILDO_ESTATICO, tildo-ax is one static executable and its
# accessibility helper carries ICU and the C++ runtime inside (ax/CMakeLists.txt); without it
# both link against the shared libraries. The sanitizers need the shared runtime. Where the
# static archives are missing the build says which and links against the shared libraries.
option(TILDO_ESTATICO
  "enlazar tildo-ax y su ayudante de accesibilidad de forma estática, que arrancan antes" ON)
if(TILDO_SANITIZADORES OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(TILDO_ESTATICO OFF)
endif()
if(TILDO_ESTATICO)
  # X's in the order the linker needs them, each before what it calls; then ICU's.
  set(x11 X11-xcb xcb-randr xcb-xtest xcb-xkb Xrandr Xrender Xext X11 xcb Xau Xdmcp)
  set(faltan)
  foreach(b ${x11} icuuc icudata)
    find_library(ESTATICA_${b} lib${b}.a)
    if(NOT ESTATICA_${b})
      list(APPEND faltan lib${b}.a)
    endif()
  endforeach()
  list(TRANSFORM x11 PREPEND ESTATICA_ OUTPUT_VARIABLE variables)
  set(TILDO_X11_ESTATICAS)
  foreach(v ${variables})
    list(APPEND TILDO_X11_ESTATICAS ${${v}})
  endforeach()
  if(faltan)
    list(JOIN faltan ", " faltan)
    message(WARNING "faltan bibliotecas estáticas (${faltan}): tildo-ax se enlaza con las "
      "compartidas, como con -DTILDO_ESTATICO=OFF")
    set(TILDO_ESTATICO OFF)
  endif()
endif()
