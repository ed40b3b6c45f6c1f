# One manual page: scdoc's roff with groff escapes for what is not ASCII, and its copy
# compressed without a name or time in it, so that the same page gives the same bytes.
cmake_path(GET PAGINA PARENT_PATH carpeta)
file(MAKE_DIRECTORY ${carpeta})
execute_process(COMMAND ${SCDOC} INPUT_FILE ${FUENTE}
  COMMAND ${PRECONV} -r -e UTF-8 OUTPUT_FILE ${PAGINA} RESULTS_VARIABLE resultados)
foreach(r ${resultados})
  if(NOT r EQUAL 0)
    file(REMOVE ${PAGINA})
    message(FATAL_ERROR "no pude escribir la página de manual de ${FUENTE}")
  endif()
endforeach()
execute_process(COMMAND gzip -9 -n -c ${PAGINA} OUTPUT_FILE ${COMPRIMIDA} RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "no pude comprimir ${PAGINA}")
endif()
