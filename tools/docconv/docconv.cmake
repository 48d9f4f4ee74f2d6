# docconv, the family's document converter, in the build tree's family root where the
# editor's DOCCONV setting looks for it by default (c:\ornato\docconv.exe); installed, it
# is a program beside the editor, where the same setting finds it (a program has no place
# among the root's shared data).
add_library(docconv_rtf STATIC ${CMAKE_SOURCE_DIR}/tools/docconv/rtf.cpp)
target_include_directories(docconv_rtf PUBLIC ${CMAKE_SOURCE_DIR}/tools/docconv)
target_link_libraries(docconv_rtf PUBLIC plumar_editor)
add_executable(docconv ${CMAKE_SOURCE_DIR}/tools/docconv/docconv.cpp)
target_link_libraries(docconv PRIVATE docconv_rtf)
set_target_properties(docconv PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PLUMAR_RAIZ_CONSTRUCAO})
plumar_instala(docconv PROGRAMA)
