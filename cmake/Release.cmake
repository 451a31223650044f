# The release for publishers: `cmake --build BUILD --target package` makes
# upgapply-VERSION-win32.zip in the Windows build (upgapply.exe and
# upgtool.exe) and upgapply-VERSION-Linux.tar.gz in the Linux build
# (upgapply and upgtool), each with the README and the publisher's guide.
install(TARGETS upgapply upgtool RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/docs/publishing.md DESTINATION . RENAME PUBLISHING.md)
# The README's pictures.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots DESTINATION docs)

set(CPACK_PACKAGE_NAME upgapply)
set(CPACK_PACKAGE_VENDOR Karvell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
# The programs without their debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
include(CPack)
