# Compiles every source file of the game library for Windows: syntax and types
# only, warnings included, so a Windows half that no longer compiles fails.
# The files are found when the check runs, so new ones are checked at once.
#   cmake -DCOMPILER=x86_64-w64-mingw32-g++-posix -DSOURCE_DIR=<root>
#         -DINCLUDE_DIR=<copies of SFML's, libpng's and CLI11's headers>
#         -DFOLDERS=app,content,... -DVERSION=<the project's> -P syntax_check.cmake
foreach(required COMPILER SOURCE_DIR INCLUDE_DIR FOLDERS VERSION)
  if(NOT ${required})
    message(FATAL_ERROR "syntax_check.cmake needs -D${required}=...")
  endif()
endforeach()

string(REPLACE "," ";" folders "${FOLDERS}")
set(sources)
foreach(folder IN LISTS folders)
  file(GLOB found ${SOURCE_DIR}/${folder}/*.cpp)
  list(APPEND sources ${found})
endforeach()
list(SORT sources)
list(LENGTH sources count)
if(count EQUAL 0)
  message(FATAL_ERROR "no source files below ${SOURCE_DIR} in ${FOLDERS}")
endif()

set(failed 0)
foreach(source IN LISTS sources)
  execute_process(
    COMMAND ${COMPILER} -std=c++17 -fsyntax-only -Wall -Wextra -Werror
      -I${SOURCE_DIR} -I${INCLUDE_DIR} -DSFML_STATIC "-DQUILLORA_VERSION=\"${VERSION}\"" ${source}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message("${output}")
    math(EXPR failed "${failed} + 1")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "${failed} of ${count} source files do not compile for Windows")
endif()
message(STATUS "all ${count} source files compile for Windows")
