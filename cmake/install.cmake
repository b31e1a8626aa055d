# Installation: the library, its headers, the audkit tool, a CMake package
# (find_package(audkit) gives audkit::audkit) and audkit.pc for pkg-config.
# A project that builds audkit as a subproject installs none of it unless it
# asks for it.
option(AUDKIT_INSTALL "Install the library, headers, tool and package files" ${PROJECT_IS_TOP_LEVEL})
if(NOT AUDKIT_INSTALL)
  return()
endif()

include(CMakePackageConfigHelpers)

set(AUDKIT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/audkit)
get_target_property(AUDKIT_LIBRARY_TYPE audkit TYPE)

if(AUDKIT_LIBRARY_TYPE STREQUAL "SHARED_LIBRARY")
  # The installed tool finds the installed library wherever the prefix is.
  set_target_properties(audkit_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
endif()

install(TARGETS audkit EXPORT audkitTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS audkit_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(AUDKIT_BUILD_SERVER)
  if(AUDKIT_LIBRARY_TYPE STREQUAL "SHARED_LIBRARY")
    set_target_properties(audkit_server_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  endif()
  install(TARGETS audkit_server_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# Headers only, and only the public ones: the umbrella header and every header
# it includes, however deeply. The others, the sources, tests and tools stay in
# the source tree; an edited include list configures again.
set(AUDKIT_PUBLIC_HEADERS "")
set(pending audkit/audkit.hpp)
while(pending)
  list(POP_FRONT pending header)
  if(header IN_LIST AUDKIT_PUBLIC_HEADERS)
    continue()
  endif()
  list(APPEND AUDKIT_PUBLIC_HEADERS ${header})
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${header})
  file(STRINGS ${PROJECT_SOURCE_DIR}/${header} includes REGEX "^#include \"audkit/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    list(APPEND pending ${included})
  endforeach()
endwhile()
foreach(header IN LISTS AUDKIT_PUBLIC_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder})
endforeach()

install(EXPORT audkitTargets NAMESPACE audkit:: DESTINATION ${AUDKIT_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/audkitConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/audkitConfig.cmake INSTALL_DESTINATION ${AUDKIT_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/audkitConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/audkitConfig.cmake ${PROJECT_BINARY_DIR}/audkitConfigVersion.cmake
        DESTINATION ${AUDKIT_CMAKE_DIR})

# pkg-config: a static libaudkit brings its dependencies' link flags in
# Libs.private (pkg-config --static --libs audkit). They are the flags this
# build linked with, for the system's shared libraries: Requires.private would
# make pkg-config --static ask for the static libraries of their own
# dependencies too. No installed header includes a dependency's header, so
# their compile flags are not needed.
set(AUDKIT_PC_FLAGS "")
foreach(prefix IN ITEMS SPNG UTF8PROC TURBOJPEG TESSERACT CURL ZLIB)
  foreach(dir IN LISTS ${prefix}_LIBRARY_DIRS)
    if(NOT dir IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
      list(APPEND AUDKIT_PC_FLAGS "-L${dir}")
    endif()
  endforeach()
  foreach(name IN LISTS ${prefix}_LIBRARIES)
    list(APPEND AUDKIT_PC_FLAGS "-l${name}")
  endforeach()
endforeach()
# OpenCV's libraries were found by path: named as -l flags, as the others.
foreach(library IN LISTS OPENCV_LIBRARIES)
  get_filename_component(dir ${library} DIRECTORY)
  get_filename_component(name ${library} NAME_WE)
  string(REGEX REPLACE "^lib" "" name ${name})
  if(NOT dir IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
    list(APPEND AUDKIT_PC_FLAGS "-L${dir}")
  endif()
  list(APPEND AUDKIT_PC_FLAGS "-l${name}")
endforeach()
foreach(name IN LISTS CMAKE_DL_LIBS)
  list(APPEND AUDKIT_PC_FLAGS "-l${name}")
endforeach()
list(REMOVE_DUPLICATES AUDKIT_PC_FLAGS)
list(JOIN AUDKIT_PC_FLAGS " " AUDKIT_PC_LIBS_PRIVATE)
configure_file(${PROJECT_SOURCE_DIR}/cmake/audkit.pc.in ${PROJECT_BINARY_DIR}/audkit.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/audkit.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
