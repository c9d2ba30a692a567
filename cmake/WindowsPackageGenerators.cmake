# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the
# installer takes the programs only, straight into its folder; the portable
# zip also the project file beside brivane.exe, all in one folder.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_COMPONENTS_ALL programs)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
