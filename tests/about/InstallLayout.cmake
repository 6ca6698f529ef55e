# Installs the build into a fresh prefix, checks the program folder, menu entry
# and launcher, then installs again over a database holding entries.
# Expects BUILD_DIR, PREFIX, PROGRAM_DIR_NAME and EXPECT_PROGRAM (ON when the
# executable is part of the build).
cmake_minimum_required(VERSION 3.25)

# check(<condition as a list> <message>)
function(check condition what)
    if(${condition})
    else()
        message(FATAL_ERROR "install layout: ${what}")
    endif()
endfunction()

function(install_into)
    execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
    check("NOT;failed" "cmake --install failed:\n${output}")
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
install_into()
set(folder "${PREFIX}/${PROGRAM_DIR_NAME}")
set(metainfo "${PREFIX}/share/metainfo/org.example.qorcofra.metainfo.xml")
set(files QorCofra.db QorCofra.html qorcofra.svg qorcofra.desktop
    ../../share/applications/qorcofra.desktop ../../share/icons/hicolor/scalable/apps/qorcofra.svg
    ../../share/metainfo/org.example.qorcofra.metainfo.xml ../../share/man/man1/qorcofra.1.gz)
if(EXPECT_PROGRAM)
    list(APPEND files QorCofra)
endif()
foreach(file IN LISTS files)
    check("EXISTS;${folder}/${file}" "missing ${folder}/${file}")
endforeach()

file(REAL_PATH "${PREFIX}/bin/qorcofra" launcher)
file(REAL_PATH "${folder}/QorCofra" program)
check("launcher;STREQUAL;program" "bin/qorcofra leads to ${launcher}, not ${program}")

file(STRINGS "${PREFIX}/share/applications/qorcofra.desktop" entry)
foreach(line "Exec=${folder}/QorCofra" "Icon=${folder}/qorcofra.svg" "Name=Qor Cofra")
    check("line;IN_LIST;entry" "desktop entry lacks '${line}'")
endforeach()
# What the desktop and the software centres read must pass their own checks.
foreach(tool "desktop-file-validate;desktop-file-utils;${PREFIX}/share/applications/qorcofra.desktop"
             "appstreamcli;appstream;validate;--no-net;${metainfo}")
    list(POP_FRONT tool name package)
    find_program(validator "${name}" NO_CACHE)
    check("validator" "${name} is missing: install the Debian package ${package} (scripts/setup.sh)")
    execute_process(COMMAND "${validator}" ${tool} RESULT_VARIABLE failed OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    check("NOT;failed" "${name} refuses what was installed:\n${output}")
    unset(validator)
endforeach()

file(READ "${folder}/QorCofra.html" help)
check("help;MATCHES;id=\"topic50\"" "help page without the keys and hints section")

file(APPEND "${folder}/QorCofra.db" "entries of the user")
file(SHA256 "${folder}/QorCofra.db" before)
install_into()
file(SHA256 "${folder}/QorCofra.db" after)
check("before;STREQUAL;after" "a second install replaced the database")
file(REMOVE_RECURSE "${PREFIX}")
