# Where an installed copy puts its files. The programs are built knowing it: one running from
# the installed bin folder keeps its files in the user's folder and fills it from the data folder.
include(GNUInstallDirs)

set(TAVLO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tavlo)
cmake_path(ABSOLUTE_PATH TAVLO_INSTALL_DATADIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           NORMALIZE OUTPUT_VARIABLE TAVLO_INSTALL_FULL_DATADIR)

# Desktop file and AppStream identifiers: the vendor's domain reversed.
set(TAVLO_APP_ID example.tavlo.Tavlo)
set(TAVLO_DISPLAY_APP_ID example.tavlo.TavloDisplay)
