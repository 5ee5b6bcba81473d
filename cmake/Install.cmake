# What `cmake --install` puts where.
#
# pelorin finds its help file beside its own executable (the real one: /proc/self/exe resolves
# symbolic links), and the user file UsrPass.dat there too unless --file or the setting UserFile
# in /etc/pelorin.conf names another. So pelorin and pelorin.hlp go into one application
# directory, and bin/pelorin is a relative symbolic link to the program there. PELORIN_APP_DIR is that directory, relative to the prefix; "." puts
# the program straight into the prefix (for example Zortan's own directory).

include(GNUInstallDirs)
# Named after the package (GNUInstallDirs' DOCDIR is named after the project, "Pelorin").
set(pelorin_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/pelorin)

set(PELORIN_APP_DIR "lib/pelorin" CACHE STRING
    "Directory of pelorin and pelorin.hlp, relative to the install prefix")
set(PELORIN_MAINTAINER "Pelorin maintainers <maintainers@users.noreply.c-seed-c1f1437a.example>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")
# The release that the changelog entry and the manual pages describe.
set(PELORIN_RELEASE_DATE 2026-12-08)
set(PELORIN_RELEASE_DATE_RFC2822 "Tue, 08 Dec 2026 12:00:00 +0000")

set(dist ${PROJECT_SOURCE_DIR}/dist)
set(dist_out ${PROJECT_BINARY_DIR}/dist)

# Manual pages and the changelog get the project's version, then gzip -9n (no name or time
# stamp, so the package is reproducible).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(gzipped_files)
function(pelorin_gzipped_file source output)
    configure_file(${source} ${dist_out}/${output} @ONLY)
    add_custom_command(OUTPUT ${dist_out}/${output}.gz
        COMMAND ${GZIP_PROGRAM} -9nkf ${dist_out}/${output}
        DEPENDS ${dist_out}/${output}
        COMMENT "Compressing ${output}"
        VERBATIM)
    set(gzipped_files ${gzipped_files} ${dist_out}/${output}.gz PARENT_SCOPE)
endfunction()

pelorin_gzipped_file(${dist}/man/usrpass.1.in usrpass.1)
pelorin_gzipped_file(${dist}/changelog.in changelog)
if(TARGET pelorin)
    pelorin_gzipped_file(${dist}/man/pelorin.1.in pelorin.1)
endif()
add_custom_target(pelorin_install_data ALL DEPENDS ${gzipped_files})

# The command-line tool.
install(TARGETS usrpass RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${dist_out}/usrpass.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${dist}/usrpass.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME usrpass)

# The program, its help file and the link in bin/.
if(TARGET pelorin)
    install(TARGETS pelorin RUNTIME DESTINATION ${PELORIN_APP_DIR})
    install(FILES ${PROJECT_SOURCE_DIR}/app/pelorin.hlp DESTINATION ${PELORIN_APP_DIR})
    # Worked out at install time, for the prefix given then (--prefix, or /usr for the package).
    string(CONFIGURE [[
        cmake_path(APPEND CMAKE_INSTALL_PREFIX "@PELORIN_APP_DIR@" OUTPUT_VARIABLE app_dir)
        cmake_path(APPEND CMAKE_INSTALL_PREFIX "@CMAKE_INSTALL_BINDIR@" OUTPUT_VARIABLE bin_dir)
        cmake_path(NORMAL_PATH app_dir)
        cmake_path(NORMAL_PATH bin_dir)
        string(REGEX REPLACE "/$" "" app_dir "${app_dir}")
        string(REGEX REPLACE "/$" "" bin_dir "${bin_dir}")
        if(NOT app_dir STREQUAL bin_dir)
            file(RELATIVE_PATH target "${bin_dir}" "${app_dir}/pelorin")
            set(link "$ENV{DESTDIR}${bin_dir}/pelorin")
            message(STATUS "Installing: ${link} -> ${target}")
            file(MAKE_DIRECTORY "$ENV{DESTDIR}${bin_dir}")
            file(CREATE_LINK "${target}" "${link}" SYMBOLIC)
            list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
        endif()
    ]] link_code @ONLY)
    install(CODE "${link_code}")
    install(FILES ${dist_out}/pelorin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${dist}/pelorin.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    install(FILES ${dist}/pelorin.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
endif()

# The system-wide settings, every line a comment: only the package installs them (as a
# conffile, see Package.cmake), since /etc is outside any prefix that `cmake --install` is given.
install(FILES ${dist}/pelorin.conf DESTINATION /etc COMPONENT settings EXCLUDE_FROM_ALL)

# Licence, changelog and the deployment guide.
install(FILES ${dist}/copyright ${dist_out}/changelog.gz ${PROJECT_SOURCE_DIR}/docs/deployment.md
    DESTINATION ${pelorin_doc_dir})
