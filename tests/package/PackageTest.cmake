# The Debian package tried for real: made by CPack from this build, installed
# into the machine with dpkg, started from its menu entry by an ordinary user
# (nobody, for whom the program's folder is read-only) with a fresh home, given
# an entry through the store library, and removed again, which must leave that
# user's database as it was. Needs root; the machine is changed only while it
# runs (CMakeLists.txt removes the package should this stop half-way).
# Expects BUILD_DIR, WORK (a scratch folder below /tmp, which nobody can
# reach), MARKER (there while the package is installed) and WRITER (the store
# test, whose --writer mode saves entries through the store library).
cmake_minimum_required(VERSION 3.25)

function(check condition what)
    if(${condition})
    else()
        message(FATAL_ERROR "package: ${what}")
    endif()
endfunction()

# run(<output variable> <command...>): the command's output; it must succeed.
function(run out)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
    check("NOT;failed" "${ARGN} failed:\n${output}")
    set(${out} "${output}" PARENT_SCOPE)
endfunction()

# dpkg refuses while another package tool runs (the machine's own updates): that is waited for.
function(dpkg)
    foreach(try RANGE 60)
        execute_process(COMMAND dpkg ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(NOT failed OR NOT output MATCHES "frontend lock")
            break()
        endif()
        execute_process(COMMAND sleep 1)
    endforeach()
    check("NOT;failed" "dpkg ${ARGN} failed:\n${output}")
endfunction()

execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
check("uid;EQUAL;0" "the package test installs into the machine: run it as root")
execute_process(COMMAND dpkg-query -W "-f=\${Status}" qorcofra OUTPUT_VARIABLE status ERROR_QUIET)
check("NOT;status;MATCHES;installed" "qorcofra is installed on this machine already; the test would replace "
      "and then remove it. Remove it first (dpkg -r qorcofra).")

file(REMOVE_RECURSE "${WORK}")
run(made cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}/deb")
file(GLOB deb "${WORK}/deb/*.deb")
list(LENGTH deb debs)
check("debs;EQUAL;1" "cpack made ${debs} packages:\n${made}")

# Below /usr: the program, its menu entry, what the desktop and software
# centres read, and no database.
run(listing dpkg-deb -c "${deb}")
foreach(wanted "usr/bin/qorcofra -> ../lib/qorcofra/QorCofra" usr/lib/qorcofra/QorCofra
        usr/lib/qorcofra/QorCofra.html usr/share/applications/qorcofra.desktop
        usr/share/icons/hicolor/scalable/apps/qorcofra.svg usr/share/metainfo/org.example.qorcofra.metainfo.xml
        usr/share/man/man1/qorcofra.1.gz usr/share/doc/qorcofra/copyright)
    string(FIND "${listing}" " ./${wanted}\n" at)
    check("NOT;at;EQUAL;-1" "the package lacks /${wanted}:\n${listing}")
endforeach()
string(REGEX MATCHALL " \\./[^\n]*" paths "${listing}")
list(FILTER paths EXCLUDE REGEX "^ \\./usr/")
check("NOT;paths" "the package holds files outside /usr: ${paths}")
check("NOT;listing;MATCHES;\\.db\n" "the package holds a database:\n${listing}")
# Found from the libraries the program links, and the driver Qt loads.
run(depends dpkg-deb -f "${deb}" Depends)
foreach(package "libqt6widgets6 " "libqt6sql6 " "libqt6sql6-sqlite" "libc6 ")
    string(FIND "${depends}" "${package}" at)
    check("NOT;at;EQUAL;-1" "the package does not depend on ${package}: ${depends}")
endforeach()

file(TOUCH "${MARKER}")
dpkg(-i "${deb}")
run(valid desktop-file-validate /usr/share/applications/qorcofra.desktop)
run(valid appstreamcli validate --no-net /usr/share/metainfo/org.example.qorcofra.metainfo.xml)

set(home "${WORK}/home")
set(runtime "${WORK}/runtime")
file(MAKE_DIRECTORY "${home}" "${runtime}")
file(CHMOD "${runtime}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
run(given chown nobody:nogroup "${home}" "${runtime}")
set(user env -i "HOME=${home}" "XDG_RUNTIME_DIR=${runtime}" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8
    QT_QPA_PLATFORM=offscreen setpriv --reuid=nobody --regid=nogroup --clear-groups --)
run(version ${user} /usr/bin/qorcofra --version)
check("version;STREQUAL;QorCofra 1.1\n" "--version said: ${version}")

# Started as the menu starts it, the program makes the user's database first
# and then waits for its user, until `timeout` ends it (status 124).
file(STRINGS /usr/share/applications/qorcofra.desktop exec REGEX "^Exec=")
string(REGEX REPLACE "^Exec=" "" exec "${exec}")
separate_arguments(exec UNIX_COMMAND "${exec}")
execute_process(COMMAND timeout 5 ${user} ${exec} RESULT_VARIABLE ended OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
check("ended;EQUAL;124" "Exec=${exec} ended by itself (${ended}) rather than waiting for its user:\n${output}")
set(folder "${home}/.local/share/QorCofra")
run(owner stat -c "%U %a" "${folder}" "${folder}/QorCofra.db")
check("owner;STREQUAL;nobody 700\nnobody 644\n" "the user's database is not the user's own: ${owner}")
check("NOT;EXISTS;/usr/lib/qorcofra/QorCofra.db" "a database was made in the program's folder")

file(WRITE "${WORK}/go" "\n")
execute_process(COMMAND "${WRITER}" --writer "${folder}/" Packaged 1 INPUT_FILE "${WORK}/go"
                RESULT_VARIABLE failures OUTPUT_VARIABLE output ERROR_VARIABLE output)
check("failures;EQUAL;0" "the store library could not save an entry into ${folder}:\n${output}")
file(SHA256 "${folder}/QorCofra.db" saved)

dpkg(-r qorcofra)
file(REMOVE "${MARKER}")
foreach(gone /usr/bin/qorcofra /usr/lib/qorcofra /usr/share/applications/qorcofra.desktop)
    check("NOT;EXISTS;${gone}" "${gone} is still there after removal")
endforeach()
file(SHA256 "${folder}/QorCofra.db" kept)
check("saved;STREQUAL;kept" "removing the package changed the user's database")
file(REMOVE_RECURSE "${WORK}")
