# The Windows build (cross-compiled with MinGW-w64, see mingw-w64.cmake). What Linux takes
# from libraries Debian has no Windows build of comes from Windows itself: the sound device
# (WASAPI), the local link (named pipes), the processes (job objects). The speech servers
# of Linux (espeak-ng, speech-dispatcher), SDL and BrlAPI have no part in it: the speech
# server speaks with the family's own engine.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)

# Every program of the family runs with UTF-8 as its ANSI code page (Windows 10 1903 and
# later), so that its narrow strings are UTF-8 as on Linux: the manifest says so to Windows,
# and runtimeUtf8.cpp does the same for the C runtime's conversions, which the C++ library's
# paths use. The manifest's resource is made once per configuration.
set(PLUMAR_MANIFESTO_RES ${CMAKE_BINARY_DIR}/manifesto.res.o)
configure_file(${CMAKE_SOURCE_DIR}/src/platform/windows/programa.manifest
               ${CMAKE_BINARY_DIR}/programa.manifest COPYONLY)
file(WRITE ${CMAKE_BINARY_DIR}/manifesto.rc "1 24 \"programa.manifest\"\n")
execute_process(COMMAND ${CMAKE_RC_COMPILER} manifesto.rc -O coff -o ${PLUMAR_MANIFESTO_RES}
                WORKING_DIRECTORY ${CMAKE_BINARY_DIR} RESULT_VARIABLE plumar_rc)
if(NOT plumar_rc EQUAL 0)
  message(FATAL_ERROR "windres could not make the programs' manifest")
endif()

macro(plumar_bibliotecas_windows)
  target_link_libraries(plumar_platform PUBLIC ole32 uuid ksuser avrt winmm advapi32 shell32
                        userenv)
  target_link_options(plumar_platform INTERFACE "LINKER:--undefined=plumarRuntimeUtf8"
                      ${PLUMAR_MANIFESTO_RES})
endmacro()

# The voice kit, the spelling dictionary and the data are made once, by the Linux build
# (their generators run espeak-ng and read Debian's word lists), and laid out here in the
# Windows family root, where the programs themselves are built: the family root is the
# folder of plumar.exe.
set(PLUMAR_RAIZ_LINUX "" CACHE PATH "The family root the Linux build made (build/sonare)")
# (the family root of the build tree, PLUMAR_RAIZ_CONSTRUCAO, set later on)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/sonare)
macro(plumar_kit_do_linux)
  if(PLUMAR_RAIZ_LINUX AND EXISTS ${PLUMAR_RAIZ_LINUX}/som)
    set(PLUMAR_KIT_FEITO ${CMAKE_BINARY_DIR}/kit_linux.feito)
    file(GLOB_RECURSE PLUMAR_KIT_ARQUIVOS CONFIGURE_DEPENDS ${PLUMAR_RAIZ_LINUX}/*)
    list(FILTER PLUMAR_KIT_ARQUIVOS EXCLUDE REGEX "\\.exe$|/docconv$")
    add_custom_command(OUTPUT ${PLUMAR_KIT_FEITO}
      COMMAND ${CMAKE_COMMAND} -E copy_directory ${PLUMAR_RAIZ_LINUX} ${PLUMAR_RAIZ_CONSTRUCAO}
      COMMAND ${CMAKE_COMMAND} -E rm -f ${PLUMAR_RAIZ_CONSTRUCAO}/docconv
      COMMAND ${CMAKE_COMMAND} -E touch ${PLUMAR_KIT_FEITO}
      DEPENDS ${PLUMAR_KIT_ARQUIVOS}
      COMMENT "Laying out the Linux build's voice kit and dictionary in the Windows family root")
    add_custom_target(kit_voz ALL DEPENDS ${PLUMAR_KIT_FEITO})
    # The data of this tree's data/ is laid out after, so it wins.
    add_dependencies(raiz_familia kit_voz)
    set(PLUMAR_COM_KIT ON)
  else()
    message(STATUS "PLUMAR_RAIZ_LINUX not set: the Windows family root has no voice kit")
    add_custom_target(kit_voz)
    set(PLUMAR_COM_KIT OFF)
  endif()
endmacro()

# The tests that run under wine: the platform's, shared with Linux, and those of the
# pieces that are the same on both systems. GoogleTest is built from the sources Debian's
# googletest package ships. The acceptance cases run from the Linux build (tests/windows.sh).
macro(plumar_testes_windows)
  enable_testing()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Not here: caminhos_test (Linux's drive-less mapping; the shared cases are in
  # sistema_test), and the tests of the terminal, the window, SDL's sound, the speech
  # servers and the signals, whose Windows pieces are still to come.
  add_executable(plumar_testes
    tests/platform/sistema_test.cpp tests/platform/ini_test.cpp
    tests/platform/audioConversor_test.cpp tests/platform/codigos_test.cpp
    tests/platform/roteiroTeclas_test.cpp tests/editor/nomesSistema_test.cpp
    tests/platform/misturaSaida_test.cpp tests/platform/audioMisturado_test.cpp
    tests/platform/ligacaoLocal_test.cpp tests/platform/areaTransferencia_test.cpp
    tests/servidorFala/servidorFala_test.cpp)
  target_link_libraries(plumar_testes PRIVATE plumar_nucleo GTest::gtest GTest::gtest_main)
  target_include_directories(plumar_testes PRIVATE tests)
  # The speech server's test starts the program beside it.
  add_dependencies(plumar_testes sonare-servidor-fala)
  add_test(NAME plumar_testes COMMAND plumar_testes --gtest_brief=1)
endmacro()
