# Sample payload: the stand-in plug-in files of payload/ are built as real
# DLLs, kept unpacked in ${CMAKE_BINARY_DIR}/payload and packed with lzpack
# into ${DIST_DIR} under the names the installer's file table expects.
# Also packs the packer's test inputs into ${CMAKE_BINARY_DIR}/lztest.

set(PAYLOAD_DIR ${CMAKE_BINARY_DIR}/payload)
set(PAYLOAD_IMPLIB_DIR ${CMAKE_BINARY_DIR}/payload-lib)
set(LZTEST_DIR ${CMAKE_BINARY_DIR}/lztest)
set(LZPACK ${HOST_TOOLS_DIR}/lzpack)
set(LZVECTORS ${HOST_TOOLS_DIR}/lzvectors)

# A payload DLL: no "lib" prefix, the file in PAYLOAD_DIR, its import
# library out of the way. The project's -static link options apply.
function(payload_dll target file_name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  get_filename_component(base ${file_name} NAME_WE)
  get_filename_component(ext ${file_name} EXT)
  set_target_properties(${target} PROPERTIES
    PREFIX "" IMPORT_PREFIX "" OUTPUT_NAME ${base} SUFFIX ${ext}
    RUNTIME_OUTPUT_DIRECTORY ${PAYLOAD_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${PAYLOAD_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${PAYLOAD_IMPLIB_DIR})
  # Shipped files carry no symbols (the static runtime's debug sections
  # would otherwise make up most of each file).
  target_link_options(${target} PRIVATE -s)
endfunction()

set(P ${CMAKE_SOURCE_DIR}/payload)
payload_dll(payload_zrsupp32 zrsupp32.dll SOURCES ${P}/zrsupp32.c ${P}/zrsupp32.rc)
payload_dll(payload_zrfilt32 zrfilt32.8bf SOURCES ${P}/zrfilt32.c ${P}/zrfilt32.rc)
target_link_libraries(payload_zrfilt32 PRIVATE payload_zrsupp32)
payload_dll(payload_msvcrt20 msvcrt20.dll
  SOURCES ${P}/msvcrt20.c ${P}/msvcrt20.rc ${P}/msvcrt20.def)
payload_dll(payload_msvcrt20_win32s msvcrt20-win32s.dll
  SOURCES ${P}/msvcrt20.c ${P}/msvcrt20.rc ${P}/msvcrt20.def)
target_compile_definitions(payload_msvcrt20_win32s PRIVATE SAMPLE_WIN32S)
foreach(rc zrsupp32 zrfilt32 msvcrt20)
  set_source_files_properties(${P}/${rc}.rc PROPERTIES
    OBJECT_DEPENDS ${P}/version_info.rci)
endforeach()

# Packs one built file into DIST_DIR under its shipped name; -n records the
# name it is installed under.
set(PAYLOAD_PACKED)
function(payload_pack target packed_name installed_name)
  set(out ${DIST_DIR}/${packed_name})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DIST_DIR}
    COMMAND ${LZPACK} -n ${installed_name} $<TARGET_FILE:${target}> ${out}
    DEPENDS ${target} ${LZPACK} hosttools
    COMMENT "Packing ${packed_name}"
    VERBATIM)
  set(PAYLOAD_PACKED ${PAYLOAD_PACKED} ${out} PARENT_SCOPE)
endfunction()

payload_pack(payload_msvcrt20 msvcrt20._ll msvcrt20.dll)
payload_pack(payload_msvcrt20_win32s msvcrt20._2s msvcrt20.dll)
payload_pack(payload_zrsupp32 zrsupp32._ll zrsupp32.dll)
payload_pack(payload_zrfilt32 zrfilt32._bf zrfilt32.8bf)

# The packer's test inputs, written by lzvectors and packed under the
# classic names (last character replaced by '_').
set(LZTEST_VECTORS empty.dat one.dat blanks.txt edge.dat text.txt random.dat bytes.dat mixed.dat)
set(lztest_outputs)
set(lztest_commands)
foreach(v ${LZTEST_VECTORS})
  string(REGEX REPLACE ".$" "_" packed ${v})
  list(APPEND lztest_outputs ${LZTEST_DIR}/${v} ${LZTEST_DIR}/${packed})
  list(APPEND lztest_commands COMMAND ${LZPACK} ${LZTEST_DIR}/${v} ${LZTEST_DIR}/${packed})
endforeach()
add_custom_command(OUTPUT ${lztest_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LZTEST_DIR}
  COMMAND ${LZVECTORS} ${LZTEST_DIR}
  ${lztest_commands}
  DEPENDS ${LZPACK} hosttools
          ${CMAKE_SOURCE_DIR}/tools/lzpack/lzvectors.cpp
  COMMENT "Writing and packing the packer's test inputs"
  VERBATIM)

add_custom_target(payload ALL DEPENDS ${PAYLOAD_PACKED} ${lztest_outputs})
