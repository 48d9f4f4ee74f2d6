# The spelling dictionary's files, made from Debian's Brazilian Portuguese word list
# (package wbrazilian) into the build tree's family root; the rules file is hand-written in
# data/. Without the list the build goes on without a dictionary and says so.
find_file(PLUMAR_LISTA_PALAVRAS brazilian PATHS /usr/share/dict NO_DEFAULT_PATH)
set(PLUMAR_DICGEN_DIR ${CMAKE_SOURCE_DIR}/tools/dicgen)
add_executable(dicgen ${PLUMAR_DICGEN_DIR}/dicgen.cpp ${PLUMAR_DICGEN_DIR}/geraDicionario.cpp)
target_include_directories(dicgen PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(dicgen PRIVATE plumar_nucleo)
set(PLUMAR_ARQUIVOS_DIC
  ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.dic ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.suf
  ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.nom ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.exc)

if(PLUMAR_LISTA_PALAVRAS)
  add_custom_command(OUTPUT ${PLUMAR_ARQUIVOS_DIC}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PLUMAR_RAIZ_CONSTRUCAO}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:dicgen> ${PLUMAR_LISTA_PALAVRAS} ${PLUMAR_RAIZ_CONSTRUCAO}
    DEPENDS dicgen ${PLUMAR_LISTA_PALAVRAS}
    COMMENT "Spelling dictionary from ${PLUMAR_LISTA_PALAVRAS}"
    VERBATIM)
  add_custom_target(dicionario ALL DEPENDS ${PLUMAR_ARQUIVOS_DIC})
  set(PLUMAR_COM_DICIONARIO ON)
else()
  message(STATUS "wbrazilian missing: the spelling dictionary is not built; "
                 "install it with: apt-get install wbrazilian")
  add_custom_target(dicionario
    COMMAND ${CMAKE_COMMAND} -E echo
            "Sem wbrazilian: o dicionario ortografico nao foi gerado (apt-get install wbrazilian)"
    VERBATIM)
  set(PLUMAR_COM_DICIONARIO OFF)
endif()

install(FILES ${PLUMAR_ARQUIVOS_DIC} DESTINATION ${CMAKE_INSTALL_DATADIR}/sonare OPTIONAL)
