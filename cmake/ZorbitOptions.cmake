# Warning and sanitizer flags shared by every target of the project.
add_compile_options(-Wall -Wextra)
if(ZORBIT_WERROR)
  add_compile_options(-Werror)
endif()

if(ZORBIT_SANITIZE)
  add_compile_options(-fsanitize=${ZORBIT_SANITIZE} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${ZORBIT_SANITIZE})
  if(ZORBIT_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

# Copies a resource folder next to the executables at build time.
function(zorbit_copy_resources target subdir)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZORBIT_BIN_DIR}/${subdir}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/resources/${subdir} ${ZORBIT_BIN_DIR}/${subdir})
endfunction()
