# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread and std::mutex need). The runtime is linked in
# statically, so the programs run on a Windows without any DLL of the compiler's. Tests run
# under Wine, which CMake and CTest call as the emulator of every target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PLUMAR_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${PLUMAR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLUMAR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PLUMAR_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PLUMAR_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(PLUMAR_WINE NAMES wine64 wine)
if(PLUMAR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLUMAR_WINE})
endif()
