# cmake -DGUIDE=docs/guide.md -DKEPT=docs/guide -DMADE=<build>/pictures/guide
#       -P check_guide_pictures.cmake
#
# The user guide and its pictures agree: every picture the guide shows is
# kept in KEPT and was made in MADE by orben_guide_pictures; every picture
# kept in KEPT, and every one the program made, is shown by the guide.
cmake_minimum_required(VERSION 3.25)

foreach(variable GUIDE KEPT MADE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "check_guide_pictures: ${variable} is not set")
  endif()
  get_filename_component(${variable} "${${variable}}" ABSOLUTE)
endforeach()

file(READ "${GUIDE}" guide)
# Links such as ![words](guide/tour.png); the brackets are left out of the
# match, since a CMake list does not split inside square brackets.
string(REGEX MATCHALL "\\(guide/[A-Za-z0-9_.-]+\\)" links "${guide}")
set(shown)
foreach(link IN LISTS links)
  string(REGEX REPLACE "^\\(guide/(.+)\\)$" "\\1" picture "${link}")
  list(APPEND shown "${picture}")
endforeach()
list(REMOVE_DUPLICATES shown)
if(NOT shown)
  message(FATAL_ERROR "${GUIDE} shows no picture of guide/")
endif()

set(faults)
foreach(picture IN LISTS shown)
  if(NOT EXISTS "${KEPT}/${picture}")
    list(APPEND faults "the guide shows guide/${picture}, which is not in ${KEPT}")
  endif()
  if(NOT EXISTS "${MADE}/${picture}")
    list(APPEND faults "the guide shows guide/${picture}, which orben_guide_pictures did not make")
  endif()
endforeach()
foreach(folder IN ITEMS "${KEPT}" "${MADE}")
  file(GLOB pictures RELATIVE "${folder}" "${folder}/*.png")
  foreach(picture IN LISTS pictures)
    if(NOT picture IN_LIST shown)
      list(APPEND faults "${folder}/${picture} is not shown in the guide")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n" report)
  message(FATAL_ERROR "${report}")
endif()
list(LENGTH shown count)
message(STATUS "${count} pictures shown, kept and made")
