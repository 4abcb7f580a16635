# The JSON library (nlohmann-json3-dev) is header-only. It is reached through a folder of its own
# so that a cross-compiler does not see the rest of /usr/include.
add_library(zel_json INTERFACE)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/thirdparty)
file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/thirdparty/nlohmann SYMBOLIC)
target_include_directories(zel_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/thirdparty)
