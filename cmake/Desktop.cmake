# Desktop integration: menu entry, file types, AppStream metainfo and the icon, all named
# by the application id so that they can sit beside other programs' files.
set(VORTIMAX_APP_ID "org.vortimax.Vortimax")
set(VORTIMAX_DIST_DIR "${PROJECT_SOURCE_DIR}/dist/linux")
set(VORTIMAX_ICON_DIR "${PROJECT_BINARY_DIR}/icons")

configure_file("${VORTIMAX_DIST_DIR}/${VORTIMAX_APP_ID}.metainfo.xml"
               "${PROJECT_BINARY_DIR}/${VORTIMAX_APP_ID}.metainfo.xml" @ONLY)

# The icon is one of our own fractals, rendered by vortimax-cli at every size so that the
# small sizes are calculated, not scaled down.
set(VORTIMAX_ICON_SIZES 16 24 32 48 64 128 256)
set(icon_files "")
foreach(size ${VORTIMAX_ICON_SIZES})
  set(png "${VORTIMAX_ICON_DIR}/${size}.png")
  add_custom_command(OUTPUT "${png}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${VORTIMAX_ICON_DIR}"
    COMMAND vortimax-cli render "${VORTIMAX_DIST_DIR}/icon.par" Vortimax_Icon
            --palette "${PROJECT_SOURCE_DIR}/data/Palettes/Sunset.map" --threads 1
            --size ${size}x${size} -o "${png}" > /dev/null 2>&1
    DEPENDS vortimax-cli "${VORTIMAX_DIST_DIR}/icon.par"
            "${PROJECT_SOURCE_DIR}/data/Palettes/Sunset.map"
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND icon_files "${png}")
  install(FILES "${png}" DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME ${VORTIMAX_APP_ID}.png)
endforeach()
set(svg "${VORTIMAX_ICON_DIR}/${VORTIMAX_APP_ID}.svg")
add_custom_command(OUTPUT "${svg}"
  COMMAND bash "${VORTIMAX_DIST_DIR}/svg_icon.sh" "${VORTIMAX_ICON_DIR}/256.png" "${svg}" 256
  DEPENDS "${VORTIMAX_ICON_DIR}/256.png" "${VORTIMAX_DIST_DIR}/svg_icon.sh"
  VERBATIM)
add_custom_target(desktop-icons ALL DEPENDS ${icon_files} "${svg}")

install(FILES "${svg}" DESTINATION share/icons/hicolor/scalable/apps)
install(FILES "${VORTIMAX_DIST_DIR}/${VORTIMAX_APP_ID}.desktop" DESTINATION share/applications)
install(FILES "${PROJECT_BINARY_DIR}/${VORTIMAX_APP_ID}.metainfo.xml" DESTINATION share/metainfo)
install(FILES "${VORTIMAX_DIST_DIR}/${VORTIMAX_APP_ID}.mime.xml" DESTINATION share/mime/packages
        RENAME ${VORTIMAX_APP_ID}.xml)

# bash completion, loaded on demand by bash-completion.
install(FILES "${VORTIMAX_DIST_DIR}/vortimax-cli.bash" DESTINATION share/bash-completion/completions
        RENAME vortimax-cli)
