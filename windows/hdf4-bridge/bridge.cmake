# The Wine bridge to Debian's HDF4, test equipment of the Windows build that
# never goes into the package: hdf.dll and mfhdf.dll as Winelib DLLs, built
# with winegcc against Debian's i386 HDF4, each export a C function that
# hands its arguments to the HDF4 function of the same name. Everything is
# made from functions.txt:
#
#   hdf4-bridge/{hdf,mfhdf}.exports    the DLLs' export lists, for winebuild
#   hdf4-bridge/{hdf,mfhdf}_bridge.c   one forwarding function per export
#   hdf4-bridge/{hdf,mfhdf}.def        the same exports for dlltool, whose
#                                      import libraries the test programs
#                                      and tools link (HDF4::HDF4)
#   hdf4-bridge/wine/{hdf,mfhdf}.dll.so  the Winelib DLLs (WINEDLLPATH)
#   hdf4-bridge/wine/{hdf,mfhdf}.dll     the placeholder PE files that Wine
#                                        finds in system32 (tools/wine-run.sh)
#
# and beside them hdf4tools.dll, through which the Windows tests run
# Debian's HDF4 tools (unix_programs.c).
#
# The sources and import libraries are made when CMake configures, and again
# whenever the list changes; the DLLs are built by the target hdf4_wine_bridge.

set(_bridge_list "${CMAKE_CURRENT_LIST_DIR}/functions.txt")
set(_bridge_out "${CMAKE_BINARY_DIR}/hdf4-bridge")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             "${_bridge_list}" "${CMAKE_CURRENT_LIST_FILE}")

# Argument types of HDF4's API that are one 32-bit word on the stack.
set(_bridge_words int int32 uint32 intn uintn int16 uint16 int8 uint8 "long int" HFILEID
    comp_coder_t ann_type nc_type)

# Writes FILE with TEXT, leaving an unchanged file untouched so that nothing
# built from it is built again.
function(_bridge_write file text)
  file(WRITE "${file}.new" "${text}")
  file(COPY_FILE "${file}.new" "${file}" ONLY_IF_DIFFERENT)
  file(REMOVE "${file}.new")
endfunction()

# For one prototype: the export line, the forwarding function and the .def
# line, appended to the variables of its DLL in the caller.
function(_bridge_function dll returns name arguments)
  set(c_parameters "")
  set(call_arguments "")
  set(export_arguments "")
  set(convert "")
  set(give_back "")
  set(export_kind cdecl)
  set(index 0)
  if(NOT arguments STREQUAL "void")
    string(REPLACE "," ";" arguments "${arguments}")
    foreach(type IN LISTS arguments)
      string(STRIP "${type}" type)
      math(EXPR index "${index} + 1")
      if(type STREQUAL "path")
        list(APPEND c_parameters "const char *a${index}")
        list(APPEND call_arguments "unix${index}")
        list(APPEND export_arguments str)
        string(APPEND convert "    char *unix${index} = bridge_unix_path(a${index});\n")
        string(APPEND give_back "    bridge_free_path(unix${index});\n")
        continue()
      endif()
      if(type MATCHES "\\*$")
        list(APPEND c_parameters "${type}a${index}")
      else()
        list(APPEND c_parameters "${type} a${index}")
      endif()
      list(APPEND call_arguments "a${index}")
      if(type MATCHES "^const char \\*$")
        list(APPEND export_arguments str)
      elseif(type MATCHES "\\*$")
        list(APPEND export_arguments ptr)
      elseif(type STREQUAL "float64")
        list(APPEND export_arguments double)
      elseif(type IN_LIST _bridge_words)
        list(APPEND export_arguments long)
      else()
        # A structure by value (HDF_CHUNK_DEF): winebuild's export list
        # cannot describe it, and for cdecl the argument list serves only
        # Wine's relay traces.
        set(export_kind varargs)
      endif()
    endforeach()
  endif()
  if(export_kind STREQUAL "varargs")
    set(export_arguments "")
  endif()
  list(JOIN c_parameters ", " c_parameters)
  list(JOIN call_arguments ", " call_arguments)
  list(JOIN export_arguments " " export_arguments)
  if(c_parameters STREQUAL "")
    set(c_parameters void)
  endif()

  set(call "${name}(${call_arguments})")
  if(returns STREQUAL "void")
    set(body "${convert}    ${call};\n${give_back}")
  elseif(give_back STREQUAL "")
    set(body "    return ${call};\n")
  else()
    set(body "${convert}    ${returns} result = ${call};\n${give_back}    return result;\n")
  endif()
  set(${dll}_c "${${dll}_c}\n${returns} __cdecl bridge_${name}(${c_parameters}) {\n${body}}\n"
      PARENT_SCOPE)
  set(${dll}_exports "${${dll}_exports}@ ${export_kind} ${name}(${export_arguments}) bridge_${name}\n"
      PARENT_SCOPE)
  set(${dll}_def "${${dll}_def}    ${name}\n" PARENT_SCOPE)
endfunction()

file(STRINGS "${_bridge_list}" _bridge_lines REGEX "^[a-z]")
set(_bridge_dlls hdf mfhdf)
foreach(dll IN LISTS _bridge_dlls)
  set(${dll}_c "")
  set(${dll}_exports "")
  set(${dll}_def "")
endforeach()
foreach(line IN LISTS _bridge_lines)
  if(NOT line MATCHES "^([a-z]+) +([A-Za-z0-9_]+) +([A-Za-z0-9_]+)\\(([^)]*)\\)$")
    message(FATAL_ERROR "${_bridge_list}: cannot read \"${line}\"")
  endif()
  set(dll "${CMAKE_MATCH_1}")
  if(NOT dll IN_LIST _bridge_dlls)
    message(FATAL_ERROR "${_bridge_list}: no HDF4 DLL \"${dll}\" in \"${line}\"")
  endif()
  _bridge_function(${dll} "${CMAKE_MATCH_2}" "${CMAKE_MATCH_3}" "${CMAKE_MATCH_4}")
endforeach()

set(_bridge_banner "Made by windows/hdf4-bridge/bridge.cmake from functions.txt")
file(MAKE_DIRECTORY "${_bridge_out}/wine")
foreach(dll IN LISTS _bridge_dlls)
  _bridge_write("${_bridge_out}/${dll}.exports" "# ${_bridge_banner}.\n${${dll}_exports}")
  _bridge_write("${_bridge_out}/${dll}.def" "; ${_bridge_banner}.\nLIBRARY ${dll}.dll\nEXPORTS\n${${dll}_def}")
  _bridge_write("${_bridge_out}/${dll}_bridge.c"
                "/* ${_bridge_banner}. */\n#include \"bridge_paths.h\"\n\n#include <windef.h>\n\n#include <hdf/mfhdf.h>\n${${dll}_c}")
endforeach()

# The test programs' and tools' import libraries: every function of the list.
foreach(dll IN LISTS _bridge_dlls)
  loadhdf_import_library("${_bridge_out}/${dll}.def" "${_bridge_out}/lib${dll}.dll.a")
endforeach()

# ---- the Winelib DLLs -----------------------------------------------------------------
find_program(LOADHDF_WINEGCC winegcc REQUIRED)
find_program(LOADHDF_WINEBUILD winebuild REQUIRED)
set(_bridge_flags -m32 -shared -O2 -Wall -Werror -I${CMAKE_CURRENT_LIST_DIR}
    -isystem ${LOADHDF_HDF4_HEADERS})
# Debian's HDF4 and the libraries it needs, found through the DLLs' own
# run path, as in the 32-bit Linux build.
set(_bridge_libraries -L${LOADHDF_I386_ROOT}/usr/lib -Wl,--disable-new-dtags)
foreach(dir usr/lib usr/lib/i386-linux-gnu lib/i386-linux-gnu)
  list(APPEND _bridge_libraries -Wl,-rpath,${LOADHDF_I386_ROOT}/${dir})
endforeach()
set(_bridge_built "")
# Builds the Winelib DLL NAME.dll.so from the export list EXPORTS and the C
# SOURCES, linked with the further arguments, and its placeholder NAME.dll.
function(_bridge_dll name exports sources)
  set(so "${_bridge_out}/wine/${name}.dll.so")
  set(placeholder "${_bridge_out}/wine/${name}.dll")
  add_custom_command(
    OUTPUT "${so}"
    COMMAND ${LOADHDF_WINEGCC} ${_bridge_flags} -Wb,-E,${exports} -Wb,-F,${name}.dll -o "${so}"
            ${sources} ${ARGN}
    DEPENDS "${exports}" ${sources} "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/bridge_paths.h"
    COMMENT "Building the Wine bridge's ${name}.dll.so" VERBATIM)
  add_custom_command(
    OUTPUT "${placeholder}"
    COMMAND ${LOADHDF_WINEBUILD} --dll --fake-module -m32 -E "${exports}" -F ${name}.dll
            -o "${placeholder}"
    DEPENDS "${exports}" VERBATIM)
  set(_bridge_built ${_bridge_built} "${so}" "${placeholder}" PARENT_SCOPE)
endfunction()

set(_bridge_paths "${CMAKE_CURRENT_LIST_DIR}/bridge_paths.c")
_bridge_dll(hdf "${_bridge_out}/hdf.exports" "${_bridge_out}/hdf_bridge.c;${_bridge_paths}"
            ${_bridge_libraries} -ldfalt)
_bridge_dll(mfhdf "${_bridge_out}/mfhdf.exports" "${_bridge_out}/mfhdf_bridge.c;${_bridge_paths}"
            ${_bridge_libraries} -lmfhdfalt -ldfalt)
# Not HDF4's: the test programs' way to Debian's HDF4 tools.
_bridge_dll(hdf4tools "${CMAKE_CURRENT_LIST_DIR}/hdf4tools.exports"
            "${CMAKE_CURRENT_LIST_DIR}/unix_programs.c")
add_custom_target(hdf4_wine_bridge ALL DEPENDS ${_bridge_built})
