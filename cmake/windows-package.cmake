# What ships for Windows, made in <build>/dist with every build: the exe
# stripped (the zip and the installer carry it), its symbols beside it in
# orvvarnoth.exe.debug (linked by .gnu_debuglink, for a crash report), and
# the per-user installer orvvarnoth-setup.exe from packaging/orvvarnoth.nsi.
# scripts/package.sh takes them from here; the installer's Wine test too.
set(orv_dist ${CMAKE_BINARY_DIR}/dist)
set(ORV_WINDOWS_DIST ${orv_dist} CACHE INTERNAL "")
add_custom_command(OUTPUT ${orv_dist}/orvvarnoth.exe ${orv_dist}/orvvarnoth.exe.debug
  COMMAND ${CMAKE_COMMAND} -E make_directory ${orv_dist}
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:orvvarnoth> orvvarnoth.exe.debug
  COMMAND ${CMAKE_STRIP} --strip-all -o orvvarnoth.exe $<TARGET_FILE:orvvarnoth>
  COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=orvvarnoth.exe.debug orvvarnoth.exe
  DEPENDS orvvarnoth
  WORKING_DIRECTORY ${orv_dist}
  COMMENT "Stripping orvvarnoth.exe, symbols kept in orvvarnoth.exe.debug"
  VERBATIM)
set(orv_shipped ${orv_dist}/orvvarnoth.exe ${orv_dist}/orvvarnoth.exe.debug)

find_program(ORV_MAKENSIS makensis)
if(ORV_MAKENSIS)
  set(orv_nsi ${PROJECT_SOURCE_DIR}/packaging/orvvarnoth.nsi)
  set(orv_cfg ${PROJECT_SOURCE_DIR}/packaging/orvvarnoth.cfg)
  set(orv_readme ${PROJECT_SOURCE_DIR}/packaging/README-windows.txt)
  set(orv_icon ${PROJECT_SOURCE_DIR}/resources/orvvarnoth.ico)
  add_custom_command(OUTPUT ${orv_dist}/orvvarnoth-setup.exe
    COMMAND ${ORV_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DEXE=${orv_dist}/orvvarnoth.exe
            -DCFG=${orv_cfg} -DREADME=${orv_readme} -DICON=${orv_icon}
            -DOUTFILE=${orv_dist}/orvvarnoth-setup.exe ${orv_nsi}
    DEPENDS ${orv_nsi} ${orv_cfg} ${orv_readme} ${orv_icon} ${orv_dist}/orvvarnoth.exe
    COMMENT "Making the installer orvvarnoth-setup.exe"
    VERBATIM)
  list(APPEND orv_shipped ${orv_dist}/orvvarnoth-setup.exe)
else()
  message(STATUS "makensis not found (Debian package nsis): no installer")
endif()
add_custom_target(orvvarnoth_dist ALL DEPENDS ${orv_shipped})
