# Writes the program's version, taken from the repository at build time, into a header for the
# compiler and the resource compiler (vexor_version.h) and into a text for the package step
# (version.txt). A file whose content stays the same is left untouched, so that a build with an
# unchanged version recompiles nothing.
#   cmake -DSOURCE_DIR=... -DOUT_DIR=... -DBASE_VERSION=0.1.0 [-DGIT=git] -P version.cmake
# A tag vX.Y.Z that the commit descends from gives X.Y.Z, with -N-gHASH when N commits follow it;
# without such a tag, BASE_VERSION-gHASH; -dirty marks changes not yet committed. Without git, or
# in a tree that is no checkout of its own (a source tarball), the version is BASE_VERSION.
cmake_minimum_required(VERSION 3.25)
set(version ${BASE_VERSION})
if(GIT)
  execute_process(COMMAND ${GIT} rev-parse --show-toplevel WORKING_DIRECTORY ${SOURCE_DIR}
                  OUTPUT_VARIABLE top RESULT_VARIABLE failed
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  # A tarball unpacked inside another project's checkout must not take that project's commit.
  if(NOT failed)
    file(REAL_PATH "${top}" top)
    file(REAL_PATH "${SOURCE_DIR}" source)
  endif()
  if(NOT failed AND top STREQUAL source)
    execute_process(COMMAND ${GIT} describe --tags --match "v[0-9]*" --always --dirty --abbrev=7
                    WORKING_DIRECTORY ${SOURCE_DIR} OUTPUT_VARIABLE described
                    RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT failed AND described MATCHES "^v([0-9].*)$")
      set(version ${CMAKE_MATCH_1})
    elseif(NOT failed AND described)
      set(version ${BASE_VERSION}-g${described})
    endif()
  endif()
endif()

# The four numbers of the version resource: the three of the release and the commits since its
# tag, each at most 65535.
string(REGEX MATCH "^([0-9]+)\\.([0-9]+)\\.([0-9]+)(-([0-9]+)-g)?" numbered "${version}")
set(numbers "")
foreach(group 1 2 3 5)
  set(n "${CMAKE_MATCH_${group}}")
  if(n STREQUAL "")
    set(n 0)
  elseif(n GREATER 65535)
    set(n 65535)
  endif()
  list(APPEND numbers ${n})
endforeach()
list(JOIN numbers "," numbers)

file(CONFIGURE OUTPUT ${OUT_DIR}/vexor_version.h CONTENT
"// Made by cmake/version.cmake at build time from the repository; not kept in the sources.
#pragma once
#define VEXOR_VERSION \"@version@\"
#define VEXOR_VERSION_NUMBERS @numbers@
" @ONLY)
file(CONFIGURE OUTPUT ${OUT_DIR}/version.txt CONTENT "@version@\n" @ONLY)
