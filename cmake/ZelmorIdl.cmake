# Compiling IDL files with widl (Windows presets only). The platform IDL files come from
# libwine-dev; stdole2.tlb, which every type library imports, from Wine's 64-bit library folder
# (widl only reads it to resolve the standard automation types).
set(ZELMOR_WIDL_INCLUDE /usr/include/wine/wine/windows)
set(ZELMOR_WIDL_LIBRARY /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(ZELMOR_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

# zelmor_compile_idl(<idl file> OUTPUT_DIR <dir> [TYPELIB])
# Writes <name>.h and <name>_i.c into OUTPUT_DIR and, with TYPELIB, <name>.tlb; sets
# <name>_IDL_SOURCES to the identifier file and <name>_IDL_TYPELIB to the library's path.
function(zelmor_compile_idl idl)
    cmake_parse_arguments(I "TYPELIB" "OUTPUT_DIR" "" ${ARGN})
    get_filename_component(name ${idl} NAME_WE)
    get_filename_component(idl_path ${idl} ABSOLUTE)
    get_filename_component(idl_dir ${idl_path} DIRECTORY)
    file(MAKE_DIRECTORY ${I_OUTPUT_DIR})
    set(flags -I${idl_dir} -I${ZELMOR_WIDL_INCLUDE} -L${ZELMOR_WIDL_LIBRARY})
    file(GLOB included ${idl_dir}/*.idh)
    set(outputs h ${I_OUTPUT_DIR}/${name}.h u ${I_OUTPUT_DIR}/${name}_i.c)
    if(I_TYPELIB)
        list(APPEND outputs t ${I_OUTPUT_DIR}/${name}.tlb)
        set(${name}_IDL_TYPELIB ${I_OUTPUT_DIR}/${name}.tlb PARENT_SCOPE)
    endif()
    while(outputs)
        list(POP_FRONT outputs kind output)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -DWIDL=${ZELMOR_WIDL} "-DFLAGS=${flags};-${kind}"
                    -DINPUT=${idl_path} -DOUTPUT=${output}
                    -P ${CMAKE_SOURCE_DIR}/cmake/RunWidl.cmake
            DEPENDS ${idl_path} ${included} ${CMAKE_SOURCE_DIR}/cmake/RunWidl.cmake
            COMMENT "widl -${kind} ${name}.idl"
            VERBATIM)
    endwhile()
    set(${name}_IDL_SOURCES ${I_OUTPUT_DIR}/${name}_i.c ${I_OUTPUT_DIR}/${name}.h PARENT_SCOPE)
endfunction()
