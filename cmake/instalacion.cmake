# The build tree is shaped like an installation (GNUInstallDirs): the programs in bin/, the
# accessibility helper in libexec/tildo/, the images in share/tildo/assets/ and the manual pages
# in share/man/man1/, under the build tree as under any prefix. The programs find the rest from
# their own path.
include(GNUInstallDirs)
# A folder of an installation as the programs in bin/ reach it (a path relative to bin/, for the
# code), and where it sits in the build tree.
function(tildo_carpeta_instalada carpeta desde_bin compilada)
  file(RELATIVE_PATH relativa ${CMAKE_INSTALL_FULL_BINDIR} ${carpeta})
  cmake_path(ABSOLUTE_PATH relativa BASE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} NORMALIZE
    OUTPUT_VARIABLE absoluta)
  set(${desde_bin} ${relativa} PARENT_SCOPE)
  set(${compilada} ${absoluta} PARENT_SCOPE)
endfunction()
set(TILDO_INSTALL_AYUDANTE ${CMAKE_INSTALL_LIBEXECDIR}/tildo)
tildo_carpeta_instalada(${CMAKE_INSTALL_FULL_LIBEXECDIR}/tildo TILDO_AYUDANTE_DESDE_BIN
  TILDO_AYUDANTE_COMPILADO)
set(TILDO_INSTALL_RAIZ ${CMAKE_INSTALL_DATADIR}/tildo)
tildo_carpeta_instalada(${CMAKE_INSTALL_FULL_DATADIR}/tildo TILDO_RAIZ_DESDE_BIN
  TILDO_RAIZ_COMPILADA)
