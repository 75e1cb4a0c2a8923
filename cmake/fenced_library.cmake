# One way to make a library whose sources see only their own folder and what they link.
#
#   brevanto_fenced_library(<target> <folder> SOURCES <file>... [LINKS <library>...])
#
# <folder> is the folder's path from the top of the tree, as the include lines spell it
# ("report", "platform/com"). The library's include folder holds a link to that folder at that
# path and nothing else, and it is handed on (PUBLIC) to whatever links the library. So an
# include of a folder the library does not link fails to compile, and the LINKS lists are the
# table of which part may use which.
function(brevanto_fenced_library target folder)
    cmake_parse_arguments(PARSE_ARGV 2 FENCE "" "" "SOURCES;LINKS")
    set(fence ${CMAKE_BINARY_DIR}/fences/${target})
    cmake_path(GET folder PARENT_PATH parent)
    file(MAKE_DIRECTORY ${fence}/${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${fence}/${folder} SYMBOLIC)
    list(TRANSFORM FENCE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/${folder}/)
    add_library(${target} STATIC ${FENCE_SOURCES})
    target_include_directories(${target} PUBLIC ${fence})
    target_link_libraries(${target} PUBLIC ${FENCE_LINKS})
endfunction()
