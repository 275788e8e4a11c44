# Release archives laid out as operators install plug-ins, relative to the game directory:
#   addons/<name>/dlls/<library>   each plug-in
#   addons/<name>/README.md, LICENSE
#   kestrum_mm.ini                 the sample configuration, ready for the game directory
foreach(deliverable kestrum_mm hopwick_mm)
  if(TARGET ${deliverable})
    install(TARGETS ${deliverable} LIBRARY DESTINATION addons/${deliverable}/dlls COMPONENT plugins)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
            DESTINATION addons/${deliverable} COMPONENT plugins)
  endif()
endforeach()
if(EXISTS ${PROJECT_SOURCE_DIR}/kestrum_mm/kestrum_mm.ini)
  install(FILES ${PROJECT_SOURCE_DIR}/kestrum_mm/kestrum_mm.ini DESTINATION . COMPONENT plugins)
endif()

set(CPACK_PACKAGE_NAME "gunkestrum-hopwick")
set(CPACK_PACKAGE_VENDOR "The Gunkestrum and Hopwick developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-i686)
elseif(HL_IS_I386)
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-i386)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-x86_64)
endif()
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME}")
include(CPack)
