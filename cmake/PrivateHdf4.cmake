# For the toolchain files of the cross builds: fills a build's private HDF4
# folder once, by running one of tools/' scripts on it, unless the file
# that the script leaves there when it has finished is present already.
#
#   loadhdf_private_hdf4(SCRIPT FOLDER DONE_FILE WHAT)
function(loadhdf_private_hdf4 script folder done_file what)
  if(EXISTS "${folder}/${done_file}")
    return()
  endif()
  message(STATUS "${what} into ${folder}")
  execute_process(COMMAND "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../tools/${script}" "${folder}"
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} into ${folder} failed")
  endif()
endfunction()
