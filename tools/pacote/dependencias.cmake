# Read by cpack before it makes the package: the run-time dependencies from the libraries the
# package's programs link, by dpkg-shlibdeps, as Debian's own packages get them. The programs
# of the build tree are asked (they link what the installed ones do). CPack's own way runs
# `file` on each of the 1,700 installed files, which takes minutes on a busy machine.
include(${CPACK_PLUMAR_PROGRAMAS})
set(pasta ${CPACK_PACKAGE_DIRECTORY}/dependencias)
file(REMOVE_RECURSE ${pasta})
file(WRITE ${pasta}/debian/control "")
execute_process(COMMAND dpkg-shlibdeps -O ${PLUMAR_PROGRAMAS_PACOTE}
                WORKING_DIRECTORY ${pasta}
                OUTPUT_VARIABLE saida ERROR_VARIABLE erro RESULT_VARIABLE resultado
                OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE ${pasta})
if(NOT resultado EQUAL 0 OR NOT saida MATCHES "^shlibs:Depends=.")
  message(FATAL_ERROR "dpkg-shlibdeps (dpkg-dev) falhou: ${erro}")
endif()
string(REGEX REPLACE "^shlibs:Depends=" "" bibliotecas "${saida}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${bibliotecas}, ${CPACK_PLUMAR_OUTRAS_DEPENDENCIAS}")
