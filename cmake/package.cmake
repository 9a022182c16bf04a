# The Windows download: `cmake --build --preset mingw --target package` makes
# vexor-<version>-win64.zip in the build folder. It holds the two programs, the manual when the
# sources hold one (docs/manual.html and its images in docs/manual/), a sample survey file and,
# under licenses/, the terms of the runtime linked into the programs (statically: the MinGW-w64
# runtime with winpthreads, libgcc and libstdc++ with the GCC runtime library exception), taken
# from the Debian packages that provide it. Only the "download" component goes in: no tests, no
# fake engine, no libraries.
install(TARGETS vexor vexor-cli RUNTIME DESTINATION . COMPONENT download)
install(FILES resources/sample-survey.txt DESTINATION . COMPONENT download)
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/manual.html)
  install(FILES docs/manual.html DESTINATION . COMPONENT download)
endif()
if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual)
  install(DIRECTORY docs/manual/ DESTINATION manual COMPONENT download)
endif()

# Pairs of a Debian text and its name in the zip. The gcc-mingw-w64 packages share one
# copyright file, which holds the runtime library exception; it refers to the GPL's own text.
set(licenses
  /usr/share/doc/mingw-w64-x86-64-dev/copyright mingw-w64-runtime.txt
  /usr/share/doc/gcc-mingw-w64-base/copyright gcc-runtime.txt
  /usr/share/common-licenses/GPL-3 GPL-3.txt)
while(licenses)
  list(POP_FRONT licenses from to)
  if(EXISTS ${from})
    install(FILES ${from} DESTINATION licenses RENAME ${to} COMPONENT download)
  else()
    message(WARNING "${from} is missing: the package lacks licenses/${to}")
  endif()
endwhile()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vexor)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# The files stand at the top of the zip: Windows' "extract all" makes the folder itself.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};vexor;download;/")
# The version in the zip's name is the build's, read when the package is made (cmake/package_name.cmake).
set(CPACK_VEXOR_VERSION_FILE ${VEXOR_GENERATED}/version.txt)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/package_name.cmake)
include(CPack)

# The package made and checked: its contents, the version resources read back, the sample opened.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME package_zip
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/package/check_package.py
          ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(package_zip PROPERTIES TIMEOUT 300)
