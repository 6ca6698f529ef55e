# Installs the build into a fresh prefix and checks the program folder, the
# menu entry and the launcher; then installs again over a database that holds
# entries and checks that it was kept.
# Expects: BUILD_DIR, PREFIX, PROGRAM_DIR_NAME, EXPECT_PROGRAM (ON when the
# executable is part of the build).

cmake_minimum_required(VERSION 3.25)

function(fail what)
    message(FATAL_ERROR "install layout: ${what}")
endfunction()

function(install_into prefix)
    execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        fail("cmake --install failed:\n${output}")
    endif()
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
install_into("${PREFIX}")

set(folder "${PREFIX}/${PROGRAM_DIR_NAME}")
set(expected
    "${folder}/QorCofra.db" "${folder}/QorCofra.html" "${folder}/qorcofra.svg" "${folder}/qorcofra.desktop"
    "${PREFIX}/share/applications/qorcofra.desktop" "${PREFIX}/share/icons/hicolor/scalable/apps/qorcofra.svg")
if(EXPECT_PROGRAM)
    list(APPEND expected "${folder}/QorCofra")
endif()
foreach(path IN LISTS expected)
    if(NOT EXISTS "${path}")
        fail("missing ${path}")
    endif()
endforeach()
if(EXPECT_PROGRAM)
    execute_process(COMMAND test -x "${folder}/QorCofra" RESULT_VARIABLE not_executable)
    if(not_executable)
        fail("${folder}/QorCofra is not executable")
    endif()
endif()

if(NOT IS_SYMLINK "${PREFIX}/bin/qorcofra")
    fail("no launcher link ${PREFIX}/bin/qorcofra")
endif()
file(READ_SYMLINK "${PREFIX}/bin/qorcofra" link)
get_filename_component(resolved "${link}" ABSOLUTE BASE_DIR "${PREFIX}/bin")
file(REAL_PATH "${folder}/QorCofra" wanted)
if(NOT resolved STREQUAL wanted)
    fail("launcher points at ${resolved}, not ${wanted}")
endif()

file(STRINGS "${PREFIX}/share/applications/qorcofra.desktop" entry)
foreach(line "Exec=${folder}/QorCofra" "TryExec=${folder}/QorCofra" "Icon=${folder}/qorcofra.svg" "Name=Qor Cofra")
    if(NOT line IN_LIST entry)
        fail("desktop entry lacks '${line}'")
    endif()
endforeach()

file(READ "${folder}/QorCofra.html" help)
if(NOT help MATCHES "id=\"topic50\"")
    fail("help page without the keys and hints section")
endif()

# A second install must leave the user's database alone.
file(APPEND "${folder}/QorCofra.db" "entries of the user")
file(SHA256 "${folder}/QorCofra.db" before)
install_into("${PREFIX}")
file(SHA256 "${folder}/QorCofra.db" after)
if(NOT before STREQUAL after)
    fail("a reinstall replaced the database")
endif()
file(REMOVE_RECURSE "${PREFIX}")
