# The spelling dictionary's files, made from Debian's Brazilian Portuguese hunspell dictionary
# (package hunspell-pt-br: its affix rules and word list) into the build tree's family root;
# the rules file is hand-written in data/. Without it the build goes on without a dictionary
# and says so.
find_file(PLUMAR_DIC_AFF pt_BR.aff PATHS /usr/share/hunspell NO_DEFAULT_PATH)
find_file(PLUMAR_DIC_PALAVRAS pt_BR.dic PATHS /usr/share/hunspell NO_DEFAULT_PATH)
set(PLUMAR_DICGEN_DIR ${CMAKE_SOURCE_DIR}/tools/dicgen)
# The generator's core, a tool library the editor does not link.
add_library(plumar_dicgen STATIC ${PLUMAR_DICGEN_DIR}/geraDicionario.cpp ${PLUMAR_DICGEN_DIR}/afixos.cpp)
target_include_directories(plumar_dicgen PUBLIC ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(plumar_dicgen PUBLIC plumar_editor)
add_executable(dicgen ${PLUMAR_DICGEN_DIR}/dicgen.cpp)
target_link_libraries(dicgen PRIVATE plumar_dicgen)
set(PLUMAR_ARQUIVOS_DIC
  ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.dic ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.suf
  ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.nom ${PLUMAR_RAIZ_CONSTRUCAO}/diciona.exc)

if(WIN32)
  # The Windows build takes the dictionary the Linux build made (cmake/windows.cmake).
  set(PLUMAR_DIC_AFF "")
  set(PLUMAR_DIC_PALAVRAS "")
  add_custom_target(dicionario DEPENDS kit_voz)
  set(PLUMAR_COM_DICIONARIO ${PLUMAR_COM_KIT})
elseif(PLUMAR_DIC_AFF AND PLUMAR_DIC_PALAVRAS)
  add_custom_command(OUTPUT ${PLUMAR_ARQUIVOS_DIC}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PLUMAR_RAIZ_CONSTRUCAO}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:dicgen> ${PLUMAR_DIC_AFF} ${PLUMAR_DIC_PALAVRAS} ${PLUMAR_RAIZ_CONSTRUCAO}
    DEPENDS dicgen ${PLUMAR_DIC_AFF} ${PLUMAR_DIC_PALAVRAS}
    COMMENT "Spelling dictionary from ${PLUMAR_DIC_PALAVRAS}"
    VERBATIM)
  add_custom_target(dicionario ALL DEPENDS ${PLUMAR_ARQUIVOS_DIC})
  set(PLUMAR_COM_DICIONARIO ON)
else()
  set(PLUMAR_DIC_AFF "")
  set(PLUMAR_DIC_PALAVRAS "")
  message(STATUS "hunspell-pt-br missing: the spelling dictionary is not built; "
                 "install it with: apt-get install hunspell-pt-br")
  add_custom_target(dicionario
    COMMAND ${CMAKE_COMMAND} -E echo
            "Sem hunspell-pt-br: o dicionario ortografico nao foi gerado (apt-get install hunspell-pt-br)"
    VERBATIM)
  set(PLUMAR_COM_DICIONARIO OFF)
endif()

plumar_instala(dicionario ARQUIVOS ${PLUMAR_ARQUIVOS_DIC})
