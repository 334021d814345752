# The release number lives in the file VERSION at the top of the tree, and
# nowhere else: the executable's version block is made from it here, and
# scripts/package names the zip and the MSI after it.
file(STRINGS ${PROJECT_SOURCE_DIR}/VERSION IKW_VERSION LIMIT_COUNT 1)
# No leading zeros: the resource compiler would read 010 as octal.
set(number "(0|[1-9][0-9]*)")
if(NOT IKW_VERSION MATCHES "^${number}\\.${number}\\.${number}\\.${number}$")
  message(FATAL_ERROR "VERSION must hold four numbers joined by dots, not '${IKW_VERSION}'")
endif()
set(IKW_VERSION_FIELDS ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
foreach(field IN LISTS IKW_VERSION_FIELDS)
  # A version block keeps each number in 16 bits.
  if(field GREATER 65535)
    message(FATAL_ERROR "VERSION ${IKW_VERSION}: each number must be at most 65535")
  endif()
endforeach()
# The version block's form: 1,2,3,4.
string(REPLACE ";" "," IKW_VERSION_COMMAS "${IKW_VERSION_FIELDS}")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/VERSION)
