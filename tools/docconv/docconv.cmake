# docconv, the family's document converter, in the family root where the editor's
# DOCCONV setting looks for it by default (c:\ornato\docconv.exe).
add_library(docconv_rtf STATIC ${CMAKE_SOURCE_DIR}/tools/docconv/rtf.cpp)
target_include_directories(docconv_rtf PUBLIC ${CMAKE_SOURCE_DIR}/tools/docconv)
target_link_libraries(docconv_rtf PUBLIC plumar_editor)
add_executable(docconv ${CMAKE_SOURCE_DIR}/tools/docconv/docconv.cpp)
target_link_libraries(docconv PRIVATE docconv_rtf)
set_target_properties(docconv PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PLUMAR_RAIZ_CONSTRUCAO})
install(TARGETS docconv RUNTIME DESTINATION ${CMAKE_INSTALL_DATADIR}/sonare)
