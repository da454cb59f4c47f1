# Run by CPack after it has made the Debian packages (CPACK_POST_BUILD_SCRIPTS), on each of them
# (CPACK_PACKAGE_FILES). It finishes what CMake 3.25's DEB generator leaves undone:
#
#  - A package with the ldconfig trigger (libsenslink1) needs no maintainer scripts: the generator still
#    writes a postinst and a postrm that only call ldconfig, and they are taken out.
#  - A debug-symbols package (<package>-dbgsym, .ddeb): the generator lists its files in md5sums under
#    the absolute paths of its staging folder; they become the paths in the package. Like the debug
#    packages debhelper makes, it gets its documentation folder as a link to that of the package whose
#    symbols it holds (copyright and changelog are there; it depends on that package's exact version).
#
# A changed package is unpacked with dpkg-deb and built again from the same files, owned by root.

find_program(KPD_DPKG_DEB dpkg-deb)
if(NOT KPD_DPKG_DEB)
  message(FATAL_ERROR "DebianPostBuild: dpkg-deb is needed to finish the packages")
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${package}" NAME)
  if(NOT name MATCHES "\\.d?deb$")
    continue()
  endif()
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/post-build/${name}")
  file(REMOVE_RECURSE "${tree}")
  file(MAKE_DIRECTORY "${CPACK_TOPLEVEL_DIRECTORY}/post-build")
  execute_process(COMMAND ${KPD_DPKG_DEB} --raw-extract "${package}" "${tree}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "DebianPostBuild: cannot unpack ${package}")
  endif()
  set(changed FALSE)

  # The ldconfig trigger replaces the generator's ldconfig calls.
  if(EXISTS "${tree}/DEBIAN/triggers")
    file(STRINGS "${tree}/DEBIAN/triggers" triggers REGEX "^activate-noawait ldconfig$")
    if(triggers)
      foreach(script postinst postrm)
        set(path "${tree}/DEBIAN/${script}")
        if(EXISTS "${path}")
          file(STRINGS "${path}" code REGEX "^[^#]")
          list(FILTER code EXCLUDE REGEX "^[ \t]*(set -e|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then|ldconfig|fi)[ \t]*$")
          if(NOT code)
            file(REMOVE "${path}")
            set(changed TRUE)
          endif()
        endif()
      endforeach()
    endif()
  endif()

  # A debug-symbols package: md5sums with package paths, and the documentation folder as a link.
  file(STRINGS "${tree}/DEBIAN/control" auto REGEX "^Auto-Built-Package: debug-symbols$")
  if(auto)
    file(STRINGS "${tree}/DEBIAN/control" own REGEX "^Package: ")
    file(STRINGS "${tree}/DEBIAN/control" depends REGEX "^Depends: ")
    string(REGEX REPLACE "^Package: " "" own "${own}")
    string(REGEX REPLACE "^Depends: ([^ ,]+).*$" "\\1" parent "${depends}")
    file(STRINGS "${tree}/DEBIAN/md5sums" sums)
    set(fixed "")
    foreach(line IN LISTS sums)
      string(REGEX REPLACE "^([0-9a-f]+)  /.*/(usr/lib/debug/.*)$" "\\1  \\2" line "${line}")
      string(APPEND fixed "${line}\n")
    endforeach()
    file(WRITE "${tree}/DEBIAN/md5sums" "${fixed}")
    if(parent AND NOT EXISTS "${tree}/usr/share/doc/${own}")
      file(MAKE_DIRECTORY "${tree}/usr/share/doc")
      file(CREATE_LINK "${parent}" "${tree}/usr/share/doc/${own}" SYMBOLIC)
    endif()
    set(changed TRUE)
  endif()

  if(changed)
    execute_process(COMMAND ${KPD_DPKG_DEB} --root-owner-group -Zgzip --build "${tree}" "${package}"
                    OUTPUT_QUIET RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "DebianPostBuild: cannot build ${package} again")
    endif()
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
