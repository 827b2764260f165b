# Where `cmake --install` puts Pelikon, laid out as a Linux application:
#   bin/pelikon                         the program
#   lib/pelikon/                        its helper programs and the optional
#                                       libraries it looks for at start
#   share/locale/<lang>/LC_MESSAGES/    catalogues (po/CMakeLists.txt)
#   share/applications, share/icons/hicolor, share/metainfo, share/man/man1
#   share/doc/pelikon/                  copyright and changelog
# The program finds lib/pelikon and share/locale from its own folder
# (src/platform/program_files.h), so any prefix works.
set(PELIKON_PRIVATE_DIR lib/pelikon)
set(_data ${CMAKE_SOURCE_DIR}/data)

if(TARGET pelikon)
  install(TARGETS pelikon RUNTIME DESTINATION bin)
endif()
# The simulated collector serves --demo; the other tools come along for
# support work on a surveyor's PC. None of them belongs on the PATH.
install(TARGETS collector-sim xfer crdtool geoidtool geoid-import fieldcodes reporttool pelikon-listing adjust RUNTIME DESTINATION ${PELIKON_PRIVATE_DIR})
# The matrix library beside adjust, which finds it there ($ORIGIN).
install(TARGETS pelikon_matrix LIBRARY DESTINATION ${PELIKON_PRIVATE_DIR})
# The docked-device connector and the report library, once they are built.
foreach(_optional tolvane quorvel)
  if(TARGET ${_optional})
    install(TARGETS ${_optional} LIBRARY DESTINATION ${PELIKON_PRIVATE_DIR})
  endif()
endforeach()

install(FILES ${_data}/pelikon.desktop DESTINATION share/applications)
install(FILES ${_data}/com.veldrasoftware.Pelikon.metainfo.xml DESTINATION share/metainfo)
install(FILES ${_data}/icons/pelikon.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(_size 16 32 48 64 128 256)
  install(FILES ${_data}/icons/${_size}/pelikon.png DESTINATION share/icons/hicolor/${_size}x${_size}/apps)
endforeach()

# The man page and the changelog go in compressed, as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_docs ${CMAKE_BINARY_DIR}/install-docs)
configure_file(${_data}/changelog.in ${_docs}/changelog.txt @ONLY)
add_custom_command(OUTPUT ${_docs}/pelikon.1.gz ${_docs}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${_data}/pelikon.1 ${_docs}/pelikon.1
  COMMAND ${CMAKE_COMMAND} -E copy ${_docs}/changelog.txt ${_docs}/changelog
  COMMAND ${GZIP_PROGRAM} -9nf ${_docs}/pelikon.1 ${_docs}/changelog
  DEPENDS ${_data}/pelikon.1 ${_docs}/changelog.txt
  VERBATIM)
add_custom_target(pelikon-install-docs ALL DEPENDS ${_docs}/pelikon.1.gz ${_docs}/changelog.gz)
install(FILES ${_docs}/pelikon.1.gz DESTINATION share/man/man1)
install(FILES ${_data}/copyright ${_docs}/changelog.gz DESTINATION share/doc/pelikon)

include(PelikonPackage)
