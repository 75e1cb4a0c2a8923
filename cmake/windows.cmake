# The Windows executable and its test tools, cross-built with mingw-w64.

# The exe, the stand-in components and the test driver go into one folder, as they are deployed.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Statically linked: the exe needs no DLL beyond Windows' own.
set(BREVANTO_STATIC_LINK -static -static-libgcc -static-libstdc++)

add_library(brevanto_platform STATIC
    platform/access_rules.cpp
    platform/account_names.cpp
    platform/activation_context.cpp
    platform/call_in_progress.cpp
    platform/class_registration.cpp
    platform/class_resolution.cpp
    platform/com_error.cpp
    platform/common_controls.cpp
    platform/com_object.cpp
    platform/com_value.cpp
    platform/component_call.cpp
    platform/current_account.cpp
    platform/crash_dump.cpp
    platform/crash_handling.cpp
    platform/crash_report.cpp
    platform/dpi.cpp
    platform/error_dialog_setting.cpp
    platform/event_log.cpp
    platform/exit_guard.cpp
    platform/faulting_module.cpp
    platform/file_paths.cpp
    platform/folder_access.cpp
    platform/folder_levels.cpp
    platform/folder_security.cpp
    platform/gdi_font.cpp
    platform/loader_lock.cpp
    platform/local_dumps.cpp
    platform/machine_registry.cpp
    platform/message_pump.cpp
    platform/nt_path.cpp
    platform/own_version.cpp
    platform/pe_header.cpp
    platform/private_sddl.cpp
    platform/program_directory.cpp
    platform/program_location.cpp
    platform/registry_settings.cpp
    platform/registry_text.cpp
    platform/registry_value.cpp
    platform/system_library.cpp
    platform/trusted_accounts.cpp
    platform/windows_version.cpp
)
target_include_directories(brevanto_platform PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(brevanto_platform PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# KnownDLLs only: any other DLL is loaded at run time from the system folder (system_library.h).
target_link_libraries(brevanto_platform PUBLIC ole32 oleaut32 uuid advapi32 user32 gdi32)

# Every thread of an exe the components are loaded into starts DPI-unaware: a TLS callback, kept
# only when its object is linked into the exe itself.
set(BREVANTO_COMPONENT_HOST_SOURCES ${CMAKE_SOURCE_DIR}/platform/dpi_unaware_threads.cpp)

add_executable(Brevanto WIN32
    app/main.cpp
    app/event_text.cpp
    app/log_box.cpp
    app/main_window.cpp
    ${BREVANTO_COMPONENT_HOST_SOURCES}
    app/run_end_report.cpp
    app/run_event.cpp
    res/brevanto.rc
)
target_link_libraries(Brevanto PRIVATE brevanto_core brevanto_platform)
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
