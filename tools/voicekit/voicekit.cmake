# The voice kit: recordings, diphone bank and sample, made with the espeak-ng library into
# the build tree's family root. Without espeak-ng the build goes on without the kit (the
# editor then speaks only what it finds there) and says so.
find_path(PLUMAR_ESPEAK_INCLUDE espeak-ng/speak_lib.h)
find_library(PLUMAR_ESPEAK_LIB espeak-ng)
set(PLUMAR_KIT_DIR ${CMAKE_SOURCE_DIR}/tools/voicekit)
set(PLUMAR_KIT_ESTADO ${CMAKE_BINARY_DIR}/voicekit_estado)
# The kit's core (waves, diphone inventory, phoneme sets, the own engine's voice), a tool
# library the editor does not link; the kit, its tests and benches share it.
file(GLOB PLUMAR_KIT_NUCLEO CONFIGURE_DEPENDS ${PLUMAR_KIT_DIR}/kit*.cpp)
add_library(plumar_kit STATIC ${PLUMAR_KIT_NUCLEO})
target_include_directories(plumar_kit PUBLIC ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(plumar_kit PUBLIC plumar_speech)

if(WIN32)
  # The Windows build takes the kit the Linux build made (cmake/windows.cmake).
  plumar_kit_do_linux()
elseif(PLUMAR_ESPEAK_INCLUDE AND PLUMAR_ESPEAK_LIB)
  add_executable(voicekit ${PLUMAR_KIT_DIR}/voicekit.cpp ${PLUMAR_KIT_DIR}/vozEspeak.cpp)
  target_include_directories(voicekit PRIVATE ${PLUMAR_ESPEAK_INCLUDE})
  target_link_libraries(voicekit PRIVATE plumar_kit plumar_nucleo ${PLUMAR_ESPEAK_LIB})

  # The library keeps some memory to the end of the process: not a leak of ours.
  set(PLUMAR_KIT ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:voicekit>)
  set(PLUMAR_KIT_RAIZ ${PLUMAR_RAIZ_CONSTRUCAO})
  set(PLUMAR_KIT_REGRAS ${CMAKE_SOURCE_DIR}/data/som/difones)
  # Each part rewrites only what changed; its mark file tells ninja it ran.
  function(plumar_parte_kit parte)
    cmake_parse_arguments(P "" "" "ARGS;DEPENDS" ${ARGN})
    add_custom_command(OUTPUT ${PLUMAR_KIT_ESTADO}/${parte}.feito
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PLUMAR_KIT_ESTADO}
      COMMAND ${PLUMAR_KIT} ${parte} ${PLUMAR_KIT_RAIZ} ${PLUMAR_KIT_ESTADO} ${P_ARGS}
      COMMAND ${CMAKE_COMMAND} -E touch ${PLUMAR_KIT_ESTADO}/${parte}.feito
      DEPENDS voicekit ${P_DEPENDS}
      COMMENT "Voice kit: ${parte}"
      VERBATIM)
  endfunction()
  plumar_parte_kit(letras ARGS ${PLUMAR_KIT_DIR}/gravacoes.txt
                   DEPENDS ${PLUMAR_KIT_DIR}/gravacoes.txt)
  plumar_parte_kit(mensagens)
  plumar_parte_kit(numera ARGS ${PLUMAR_KIT_DIR}/numera.txt
                   DEPENDS ${PLUMAR_KIT_DIR}/numera.txt)
  plumar_parte_kit(difones ARGS ${PLUMAR_KIT_REGRAS}
                   DEPENDS ${PLUMAR_KIT_REGRAS}/regras.rgr ${PLUMAR_KIT_REGRAS}/portug.exc)
  plumar_parte_kit(brisa ARGS ${CMAKE_SOURCE_DIR}/data/brisatts/portug.dfn
                   DEPENDS ${CMAKE_SOURCE_DIR}/data/brisatts/portug.dfn)
  plumar_parte_kit(amostra ARGS ${PLUMAR_KIT_DIR}/amostra.txt ${CMAKE_SOURCE_DIR}/data/SONARE.INI
                   DEPENDS ${PLUMAR_KIT_DIR}/amostra.txt ${CMAKE_SOURCE_DIR}/data/SONARE.INI
                           ${PLUMAR_KIT_ESTADO}/letras.feito
                           ${PLUMAR_KIT_ESTADO}/difones.feito)
  add_custom_target(kit_voz ALL DEPENDS
    ${PLUMAR_KIT_ESTADO}/letras.feito ${PLUMAR_KIT_ESTADO}/mensagens.feito
    ${PLUMAR_KIT_ESTADO}/numera.feito
    ${PLUMAR_KIT_ESTADO}/difones.feito ${PLUMAR_KIT_ESTADO}/brisa.feito
    ${PLUMAR_KIT_ESTADO}/amostra.feito)
  # The sample is read through the rule files the family root receives from data/.
  add_dependencies(kit_voz raiz_familia)
  set(PLUMAR_COM_KIT ON)
else()
  message(STATUS "espeak-ng (libespeak-ng-dev) missing: the voice kit is not built; "
                 "install it with: apt-get install espeak-ng libespeak-ng-dev")
  add_custom_target(kit_voz
    COMMAND ${CMAKE_COMMAND} -E echo
            "Sem espeak-ng: o kit de voz nao foi gerado (apt-get install espeak-ng libespeak-ng-dev)"
    VERBATIM)
  set(PLUMAR_COM_KIT OFF)
endif()

plumar_instala(kit_voz PASTAS ${PLUMAR_RAIZ_CONSTRUCAO}/som ${PLUMAR_RAIZ_CONSTRUCAO}/plumar
                       ${PLUMAR_RAIZ_CONSTRUCAO}/brisatts)
