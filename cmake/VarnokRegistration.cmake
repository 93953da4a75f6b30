# varnok_register_server(<target>)
# Registration is by path, in this build tree's own prefix: each tree's wine-run names it, so a 32-bit tree
# registers its 32-bit servers in its 32-bit prefix. The step waits for the prefix that scripts/prepare.sh
# makes, so that a tree without one (a compile check) still builds. Every server is also listed in
# com-servers.txt, from which scripts/register-servers.sh registers them again in a prefix made after they
# were linked.
function(varnok_register_server target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND sh -c "test ! -e \"$1/system.reg\" || \"$2\" regsvr32 /s \"$3\"" register
            ${VARNOK_WINEPREFIX} ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:${target}>
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Registering ${target}.dll in the build tree's Wine prefix"
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY VARNOK_COM_SERVERS "$<TARGET_FILE:${target}>")
endfunction()

# Writes com-servers.txt once every folder has declared its servers, in the order they were declared.
function(varnok_write_server_list)
  get_property(servers GLOBAL PROPERTY VARNOK_COM_SERVERS)
  list(JOIN servers "\n" servers_text)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/com-servers.txt CONTENT "${servers_text}\n")
endfunction()
