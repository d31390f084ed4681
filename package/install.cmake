# package/install.cmake — where `cmake --install` puts the game, and the Debian package `cpack -G DEB` makes of it
#
# The layout of a Debian game: the program in PREFIX/games, its maps,
# pictures and sounds in PREFIX/share/kestrava, where the program finds them
# from its own place (so the tree runs under any root), the menu entry and its
# icon, the manual page, the copyright and changelog. The battles are kept in
# the player's own data folder, never under PREFIX.

set(PACKAGE_BUILD_DIR ${CMAKE_BINARY_DIR}/package)
find_package(PNG REQUIRED)
target_link_libraries(artgen PRIVATE PNG::PNG)

# The icon at the sizes the menus use; the manual page and the changelog
# compressed as Debian keeps them (no name or time in the gzip header, so the
# same bytes every build).
set(ICON_SIZES 48 128)
set(PACKAGE_FILES "")
foreach(size ${ICON_SIZES})
  set(icon ${PACKAGE_BUILD_DIR}/icons/${size}x${size}/kestrava.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_BUILD_DIR}/icons/${size}x${size}
    COMMAND artgen --icon ${size} ${icon}
    DEPENDS artgen
    COMMENT "Drawing the ${size} x ${size} icon")
  list(APPEND PACKAGE_FILES ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
find_program(GZIP gzip REQUIRED)
foreach(pair "kestrava.6:kestrava.6.gz" "changelog:changelog.gz")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 packed)
  add_custom_command(OUTPUT ${PACKAGE_BUILD_DIR}/${packed}
    COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/package/${source} > ${PACKAGE_BUILD_DIR}/${packed}
    DEPENDS ${CMAKE_SOURCE_DIR}/package/${source}
    COMMENT "Compressing ${source}")
  list(APPEND PACKAGE_FILES ${PACKAGE_BUILD_DIR}/${packed})
endforeach()
add_custom_target(package_files ALL DEPENDS ${PACKAGE_FILES})

install(TARGETS kestrava RUNTIME DESTINATION games)
install(FILES ${CMAKE_SOURCE_DIR}/WorldDesc.txt DESTINATION share/kestrava)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/maps/ DESTINATION share/kestrava/maps FILES_MATCHING PATTERN "*.txt")
foreach(made images sounds)
  install(DIRECTORY ${RUN_DIR}/${made}/ DESTINATION share/kestrava/${made} PATTERN ".stamp" EXCLUDE)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/package/kestrava.desktop DESTINATION share/applications)
install(FILES ${PACKAGE_BUILD_DIR}/kestrava.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/package/copyright ${PACKAGE_BUILD_DIR}/changelog.gz DESTINATION share/doc/kestrava)

# Installing or packing takes the build as it stands (build first); so the
# package test can pack a tree that other work is building in at the time.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrava)
set(CPACK_PACKAGE_VERSION 0.1.0)
set(CPACK_PACKAGE_CONTACT "Kestrava developers <kestrava@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based tactics game in 3D for two players")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Two armies of archers, fighters, fliers, healers and mages face each other\n"
  "on a board of grass, mountains, desert, water and stranger ground. Each\n"
  "player picks a hero, and a player wins when the other's hero falls. Units\n"
  "see only so far, so enemies out of sight stay hidden.\n"
  ".\n"
  "Play at one keyboard, against the computer at three levels, or over the\n"
  "network, on any of the seven maps that come with it. Battles are kept\n"
  "after every action and can be recorded and watched again.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)   # the libraries it links, as dpkg-shlibdeps names their packages
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # kestrava_VERSION_ARCH.deb
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
