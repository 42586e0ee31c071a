# ORV_HARDEN: the flags Debian's own packages are built with (dpkg-buildflags,
# every hardening feature on: fortified functions, the strong stack
# protector, read-only relocations bound at start), for the build that is
# packaged and tested (test.sh, scripts/package.sh). Not with the sanitizers,
# whose own checks fortified functions would bypass.
option(ORV_HARDEN "Build with Debian's hardening flags (dpkg-buildflags)" OFF)
if(ORV_HARDEN AND NOT WIN32)
  if(ORV_SANITIZE)
    message(FATAL_ERROR "ORV_HARDEN and ORV_SANITIZE do not go together")
  endif()
  find_program(ORV_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    # Run from the source folder, so that its path is mapped to "." in the
    # objects (-ffile-prefix-map), as in a package build.
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${ORV_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(orv_${kind} UNIX_COMMAND "${flags}")
  endforeach()
  add_compile_options(${orv_CPPFLAGS} ${orv_CXXFLAGS})
  add_link_options(${orv_LDFLAGS})
  list(JOIN orv_CPPFLAGS " " cpp)
  list(JOIN orv_CXXFLAGS " " cxx)
  list(JOIN orv_LDFLAGS " " ld)
  message(STATUS "Debian's hardening flags: ${cpp} ${cxx} ${ld}")
endif()
