# Read by cpack when it makes the package: the zip is named after the version of the build that
# it packs, which a commit changes without a new configure.
file(STRINGS ${CPACK_VEXOR_VERSION_FILE} version LIMIT_COUNT 1)
set(CPACK_PACKAGE_VERSION ${version})
set(CPACK_PACKAGE_FILE_NAME vexor-${version}-win64)
