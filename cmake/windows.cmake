# The Windows executable and its test tools, cross-built with mingw-w64.

# The exe, the stand-in components and the test driver go into one folder, as they are deployed.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Statically linked: the exe needs no DLL beyond Windows' own.
set(BREVANTO_STATIC_LINK -static -static-libgcc -static-libstdc++)

# The Win32 side, in seven fenced libraries, each linking only the folders it may use; no arrow
# runs back up. Windows' own libraries are linked where they are used: KnownDLLs only, any other
# DLL is loaded at run time from the system folder (platform/base/system_library.h).
add_library(brevanto_windows_api INTERFACE)
target_compile_definitions(brevanto_windows_api INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# The floor: resource holders, system DLLs, text, paths, the running program.
brevanto_fenced_library(brevanto_base platform/base SOURCES
    environment_folder.cpp
    file_paths.cpp
    folder_creation.cpp
    folder_levels.cpp
    nt_path.cpp
    own_version.cpp
    pe_header.cpp
    process_age.cpp
    program_directory.cpp
    system_library.cpp
    windows_version.cpp
    LINKS brevanto_core brevanto_windows_api advapi32)

# The registry: one reader, the settings store, the machine's settings.
brevanto_fenced_library(brevanto_registry platform/registry SOURCES
    machine_registry.cpp
    registry_settings.cpp
    registry_text.cpp
    registry_value.cpp
    LINKS brevanto_base advapi32)

# Accounts, access rules and the judgement of folders.
brevanto_fenced_library(brevanto_security platform/security SOURCES
    access_rules.cpp
    accounts.cpp
    folder_access.cpp
    folder_security.cpp
    private_sddl.cpp
    program_location.cpp
    trusted_accounts.cpp
    LINKS brevanto_registry brevanto_base advapi32)

# Our window's world: DPI, activation contexts, common controls, fonts.
brevanto_fenced_library(brevanto_window platform/window SOURCES
    activation_context.cpp
    common_controls.cpp
    dpi.cpp
    gdi_font.cpp
    LINKS brevanto_base user32 gdi32)

# The unattended end: crash handling, crash reports, the exit guard, the loader's lock.
brevanto_fenced_library(brevanto_unattended platform/unattended SOURCES
    crash_handling.cpp
    crash_report.cpp
    error_dialog_setting.cpp
    exit_guard.cpp
    loader_lock.cpp
    standby_thread.cpp
    LINKS brevanto_registry brevanto_base)

# COM, and every entry into a component's code.
brevanto_fenced_library(brevanto_com platform/com SOURCES
    call_in_progress.cpp
    class_registration.cpp
    class_resolution.cpp
    com_error.cpp
    com_object.cpp
    com_value.cpp
    component_call.cpp
    message_pump.cpp
    LINKS brevanto_window brevanto_unattended brevanto_registry brevanto_base ole32 oleaut32 uuid user32)

# What a run leaves behind: dumps, events, the faulting module.
brevanto_fenced_library(brevanto_records platform/records SOURCES
    crash_dump.cpp
    event_log.cpp
    faulting_module.cpp
    local_dumps.cpp
    LINKS brevanto_unattended brevanto_security brevanto_registry brevanto_base advapi32)

# Everything above, for the programs and tests that are Win32 shells around it. They see the
# tree from its top, as their own include lines do; the libraries above see only their fences.
add_library(brevanto_platform INTERFACE)
target_link_libraries(brevanto_platform INTERFACE brevanto_records brevanto_com brevanto_window
                      brevanto_security brevanto_unattended brevanto_registry brevanto_base)
target_include_directories(brevanto_platform INTERFACE ${CMAKE_SOURCE_DIR})

# Every thread of an exe the components are loaded into starts DPI-unaware: a TLS callback, kept
# only when its object is linked into the exe itself.
set(BREVANTO_COMPONENT_HOST_SOURCES ${CMAKE_SOURCE_DIR}/platform/com/dpi_unaware_threads.cpp)

add_executable(Brevanto WIN32
    app/main.cpp
    app/log_box.cpp
    app/main_window.cpp
    ${BREVANTO_COMPONENT_HOST_SOURCES}
    app/run_end_report.cpp
    res/brevanto.rc
)
target_link_libraries(Brevanto PRIVATE brevanto_app_core brevanto_core brevanto_platform)
# Linker flags of every exe the components are loaded into: Brevanto.exe, and the workstation
# check, which creates them as Brevanto.exe does. The 32-bit exe leaves DEP to the system's
# policy, as the components' older host did: an NX_COMPAT flag would force it on for them and
# turn off the system's thunk emulation. Address space layout randomisation stays.
set(BREVANTO_COMPONENT_HOST_LINK)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(BREVANTO_COMPONENT_HOST_LINK -Wl,--disable-nxcompat -Wl,--dynamicbase)
endif()
# Release builds ship without symbols (-s).
target_link_options(Brevanto PRIVATE -municode ${BREVANTO_STATIC_LINK}
    ${BREVANTO_COMPONENT_HOST_LINK} $<$<CONFIG:Release>:-s>)
set_target_properties(Brevanto PROPERTIES OUTPUT_NAME Brevanto)
# The event messages: windmc makes a message table resource and the script that includes it.
set(BREVANTO_MESSAGES_DIR ${CMAKE_BINARY_DIR}/messages)
add_custom_command(
    OUTPUT ${BREVANTO_MESSAGES_DIR}/run_events.rc ${BREVANTO_MESSAGES_DIR}/MSG00409.bin
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BREVANTO_MESSAGES_DIR}
    COMMAND ${MINGW_TRIPLET}-windmc -h ${BREVANTO_MESSAGES_DIR} -r ${BREVANTO_MESSAGES_DIR}
            ${CMAKE_SOURCE_DIR}/res/run_events.mc
    DEPENDS ${CMAKE_SOURCE_DIR}/res/run_events.mc
    VERBATIM)
set_source_files_properties(res/brevanto.rc PROPERTIES
    INCLUDE_DIRECTORIES ${BREVANTO_MESSAGES_DIR}
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/brevanto.ico;${CMAKE_SOURCE_DIR}/res/brevanto.manifest;${CMAKE_SOURCE_DIR}/res/own_controls.manifest;${BREVANTO_MESSAGES_DIR}/run_events.rc;${BREVANTO_MESSAGES_DIR}/MSG00409.bin")

add_subdirectory(packaging)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/standin/CMakeLists.txt)
    add_subdirectory(tests/standin)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/support/CMakeLists.txt)
    add_subdirectory(tests/support)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tests/e2e)
    add_subdirectory(tests/conformance)
endif()
# The package is 32-bit, and so is its driver.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/msi/CMakeLists.txt AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_subdirectory(tests/msi)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
    add_subdirectory(bench)
endif()
