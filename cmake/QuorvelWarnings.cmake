# Warning and sanitizer flags shared by every target of the project.
add_library(quorvel_build_flags INTERFACE)
target_compile_options(quorvel_build_flags INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>
  $<$<AND:$<BOOL:${QUORVEL_WERROR}>,$<CXX_COMPILER_ID:GNU,Clang>>:-Werror>)

if(QUORVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# quorvel_target_defaults(<target>): warnings for the project's own code only.
function(quorvel_target_defaults target)
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:quorvel_build_flags>)
endfunction()
