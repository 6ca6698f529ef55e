# Runs at install time (cmake --install, cpack), once the prefix is known.
# COFRA_INSTALL_PART "database" lays the empty entry database into the program
# folder; "program" writes the desktop entry and the launcher on the PATH.
#
# Expects: COFRA_INSTALL_PART, COFRA_INSTALL_DIR, COFRA_DB_FILE (the freshly
# built database), COFRA_DESKTOP_TEMPLATE, COFRA_STAGING_DIR (a scratch folder
# of the build).

if(IS_ABSOLUTE "${COFRA_INSTALL_DIR}")
    set(program_dir "${COFRA_INSTALL_DIR}")
    set(launcher_target "${COFRA_INSTALL_DIR}/QorCofra")
else()
    set(program_dir "${CMAKE_INSTALL_PREFIX}/${COFRA_INSTALL_DIR}")
    set(launcher_target "../${COFRA_INSTALL_DIR}/QorCofra")
endif()
# file(INSTALL) adds DESTDIR by itself; only the existence test needs it spelt out.
set(program_dest "$ENV{DESTDIR}${program_dir}")

if(COFRA_INSTALL_PART STREQUAL "database")
    # The database holds the user's entries: a reinstall or an upgrade must
    # never replace it, so only a folder without one gets the empty database.
    if(EXISTS "${program_dest}/QorCofra.db")
        message(STATUS "Keeping: ${program_dest}/QorCofra.db (it holds the entries)")
    else()
        file(INSTALL "${COFRA_DB_FILE}" DESTINATION "${program_dir}")
    endif()
    return()
endif()

# Desktop entry values. Exec is quoted when the path needs it; within the quotes
# ", `, $ and \ take a backslash, and every backslash of the value is doubled
# once more as the file format asks. % would start a field code.
function(desktop_escape_string out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\n" "\\n" value "${value}")
    string(REPLACE "\t" "\\t" value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

set(executable "${program_dir}/QorCofra")
# Below /usr and /usr/local the launcher is on every user's PATH and the icon
# in the theme the desktop searches: the entry names them, as the desktop's own
# programs do. Anywhere else it points at the program folder itself.
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
    set(exec "qorcofra")
    set(icon "qorcofra")
else()
    set(exec "${executable}")
    set(icon "${program_dir}/qorcofra.svg")
endif()
string(REPLACE "%" "%%" exec "${exec}")
if(exec MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    string(REPLACE "\"" "\\\"" exec "${exec}")
    string(REPLACE "`" "\\`" exec "${exec}")
    string(REPLACE "$" "\\$" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
desktop_escape_string(COFRA_DESKTOP_EXEC "${exec}")
desktop_escape_string(COFRA_DESKTOP_TRYEXEC "${executable}")
desktop_escape_string(COFRA_DESKTOP_ICON "${icon}")

# A scratch folder per destination: a package may be made while the build is
# installed elsewhere.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(staging "${COFRA_STAGING_DIR}/${destination}")
file(REMOVE_RECURSE "${staging}")
file(MAKE_DIRECTORY "${staging}")
configure_file("${COFRA_DESKTOP_TEMPLATE}" "${staging}/qorcofra.desktop" @ONLY)
file(INSTALL "${staging}/qorcofra.desktop" DESTINATION "${program_dir}")
file(INSTALL "${staging}/qorcofra.desktop" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")

# The launcher: a link on the usual PATH folder. The program finds its folder
# through the link, so the database and help beside it are found.
file(CREATE_LINK "${launcher_target}" "${staging}/qorcofra" SYMBOLIC)
file(INSTALL "${staging}/qorcofra" DESTINATION "${CMAKE_INSTALL_PREFIX}/bin")
