# Writes the source of korthal::buildVersion() (packaging/BuildVersion.h):
# the project's version and, in a git checkout, the commit with a mark when
# tracked files were changed. Runs at every build, but rewrites the source
# only when the text changes, so that nothing is relinked for nothing.
#
#   cmake -DSOURCE_DIR=... -DVERSION=1.0 -DOUT=BuildVersion.cpp -P BuildVersion.cmake
#
# A source tree without git (a release tarball), or one that only lies inside
# some other repository, gives the version alone.
set(text "${VERSION}")
find_program(_git git)
if(_git)
  execute_process(COMMAND ${_git} -C ${SOURCE_DIR} rev-parse --show-toplevel
                  OUTPUT_VARIABLE _top RESULT_VARIABLE _rc ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(_rc EQUAL 0)
    file(REAL_PATH "${_top}" _top)
    file(REAL_PATH "${SOURCE_DIR}" _src)
  endif()
  if(_rc EQUAL 0 AND _top STREQUAL _src)
    execute_process(COMMAND ${_git} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                    OUTPUT_VARIABLE _commit RESULT_VARIABLE _rc ERROR_QUIET
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(_rc EQUAL 0 AND _commit)
      execute_process(COMMAND ${_git} -C ${SOURCE_DIR} status --porcelain --untracked-files=no
                      OUTPUT_VARIABLE _changes ERROR_QUIET)
      if(_changes)
        set(text "${VERSION} (commit ${_commit}, modified)")
      else()
        set(text "${VERSION} (commit ${_commit})")
      endif()
    endif()
  endif()
endif()

set(source "// Generated at build time by cmake/BuildVersion.cmake; do not edit.
#include \"packaging/BuildVersion.h\"

const char* korthal::buildVersion()
{
    return \"${text}\";
}
")
if(EXISTS ${OUT})
  file(READ ${OUT} _old)
endif()
if(NOT _old STREQUAL source)
  file(WRITE ${OUT} "${source}")
endif()
