# PLUMAR installed like any Debian program: manual pages, a desktop entry with its icon and
# AppStream metainfo, the package's copyright and changelog, and the package itself, made by
# CPack (target pacote). Every version here is the project's; the date is the build's
# (SOURCE_DATE_EPOCH when set, so the package can be made again byte for byte).
set(PLUMAR_PACOTE_DIR ${CMAKE_SOURCE_DIR}/tools/pacote)
set(PLUMAR_PACOTE_GERADO ${CMAKE_BINARY_DIR}/pacote_arquivos)
set(PLUMAR_ID br.sonare.plumar)
set(PLUMAR_MANTENEDOR "Equipe do PLUMAR <plumar@sonare.invalid>" CACHE STRING
    "Who the Debian package names as its maintainer")
string(TIMESTAMP PLUMAR_DATA_VERSAO "%Y-%m-%d" UTC)
string(TIMESTAMP PLUMAR_DATA_CHANGELOG "%a, %d %b %Y %H:%M:%S +0000" UTC)

configure_file(${PLUMAR_PACOTE_DIR}/${PLUMAR_ID}.metainfo.xml.in
               ${PLUMAR_PACOTE_GERADO}/${PLUMAR_ID}.metainfo.xml @ONLY)
# Manual pages and the changelog are installed compressed, as Debian wants them.
set(PLUMAR_PAGINAS plumar docconv sonare-servidor-fala)
set(PLUMAR_COMPRIMIDOS "")
foreach(nome ${PLUMAR_PAGINAS} changelog)
  if(nome STREQUAL changelog)
    set(origem ${PLUMAR_PACOTE_DIR}/changelog.in)
    set(texto ${PLUMAR_PACOTE_GERADO}/changelog)
  else()
    set(origem ${PLUMAR_PACOTE_DIR}/${nome}.1.in)
    set(texto ${PLUMAR_PACOTE_GERADO}/${nome}.1)
  endif()
  configure_file(${origem} ${texto} @ONLY)
  add_custom_command(OUTPUT ${texto}.gz
    COMMAND gzip -9 -n -c ${texto} > ${texto}.gz
    DEPENDS ${texto}
    COMMENT "Compressing ${nome}")
  list(APPEND PLUMAR_COMPRIMIDOS ${texto}.gz)
endforeach()
add_custom_target(documentacao ALL DEPENDS ${PLUMAR_COMPRIMIDOS})
list(TRANSFORM PLUMAR_PAGINAS PREPEND ${PLUMAR_PACOTE_GERADO}/ OUTPUT_VARIABLE paginas)
list(TRANSFORM paginas APPEND .1.gz)
plumar_instala(documentacao ARQUIVOS ${paginas} DESTINO ${CMAKE_INSTALL_MANDIR}/man1)
plumar_instala(documentacao ARQUIVOS ${PLUMAR_PACOTE_GERADO}/changelog.gz
                                     ${PLUMAR_PACOTE_DIR}/copyright
               DESTINO ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PLUMAR_PACOTE_DIR}/lintian-overrides RENAME plumar
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
install(FILES ${PLUMAR_PACOTE_DIR}/${PLUMAR_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PLUMAR_PACOTE_DIR}/${PLUMAR_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PLUMAR_PACOTE_GERADO}/${PLUMAR_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The Debian package, plumar_VERSION_ARCH.deb in the build folder's pacote/. Its run-time
# dependencies come from the libraries the programs link (dependencias.cmake, which cpack
# reads), plus the font the window falls back to; the converters and the speech service are
# recommended, the office suite (a large install; the converters cover .doc and .rtf without
# it) and the braille daemon suggested.
get_property(alvos GLOBAL PROPERTY PLUMAR_PROGRAMAS)
set(programas "")
foreach(alvo ${alvos})
  list(APPEND programas "$<TARGET_FILE:${alvo}>")
endforeach()
file(GENERATE OUTPUT ${PLUMAR_PACOTE_GERADO}/programas.cmake
     CONTENT "set(PLUMAR_PROGRAMAS_PACOTE \"${programas}\")\n")
set(CPACK_PLUMAR_PROGRAMAS ${PLUMAR_PACOTE_GERADO}/programas.cmake)
set(CPACK_PLUMAR_OUTRAS_DEPENDENCIAS "fonts-dejavu-core")
set(CPACK_PROJECT_CONFIG_FILE ${PLUMAR_PACOTE_DIR}/dependencias.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plumar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PLUMAR_MANTENEDOR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/pacote)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor de texto falado para pessoas cegas")
set(CPACK_PACKAGE_DESCRIPTION
"O PLUMAR é um editor de texto que se usa só com o teclado e que fala tudo em
português: cada tecla digitada, cada letra, palavra ou linha percorrida, cada
pergunta e cada erro. Traz voz própria, dicionário ortográfico com sugestões,
conversão de documentos de processadores de texto, leitura por servidores de
fala e linhas braille. Roda numa janela ou no terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "catdoc, unrtf, speech-dispatcher, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-writer, brltty")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# One command makes the package from this build folder; a package without the spelling
# dictionary would be a lesser program, so it is refused.
if(PLUMAR_COM_DICIONARIO)
  add_custom_target(pacote
    COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Debian package in ${CPACK_PACKAGE_DIRECTORY}"
    VERBATIM)
else()
  add_custom_target(pacote
    COMMAND ${CMAKE_COMMAND} -E echo "Sem hunspell-pt-br o pacote ficaria sem dicionario"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()
add_dependencies(pacote plumar_completo)
