# Run by CPack after it wrote the package. CPack gives a package with a library under
# /usr/lib maintainer scripts that only run ldconfig; ours is private (the programs find it
# beside them, never through the loader's cache), so the package ships without them.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/without-ldconfig)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    set(path ${tree}/DEBIAN/${script})
    if(EXISTS ${path})
      file(STRINGS ${path} lines)
      list(FILTER lines EXCLUDE REGEX "^#!|^set -e$|ldconfig|^if \\[ \"\\$1\" = \"[a-z]+\" \\]; then$|^fi$|^$|^exit 0$")
      if(lines)
        message(FATAL_ERROR "${script} does more than run ldconfig: ${lines}")
      endif()
      file(REMOVE ${path})
    endif()
  endforeach()
  execute_process(COMMAND dpkg-deb --root-owner-group -b ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
