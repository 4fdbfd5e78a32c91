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
