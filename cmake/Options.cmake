# Compiler settings shared by every target of every build.
function(bj_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

if(WIN32)
  # One self-contained exe, small: no DLL of ours or of the toolchain beside it. Nothing asks a
  # type at run time, so no RTTI beyond what exceptions carry (some 5 KiB of the 32-bit exe).
  add_compile_options(-ffunction-sections -fdata-sections $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
  set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
  set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
endif()

option(BJ_SANITIZE "Build the native code with AddressSanitizer and UBSan" OFF)
if(BJ_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# A layer is a library that sees only its own folder and the layers it links: its headers are
# reached through a root of its own holding just that folder, so an include of a layer it
# does not link fails to build.
function(bj_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
  bj_warnings(${target})
endfunction()

# A component: its portable sources on base, and in the Windows builds its Win32 sources on
# the framework too.
function(bj_component name)
  cmake_parse_arguments(arg "" "" "PORTABLE;WIN32" ${ARGN})
  if(NOT WIN32 AND NOT arg_PORTABLE)
    return()
  endif()
  add_library(bj_${name} STATIC ${arg_PORTABLE})
  bj_layer(bj_${name} components/${name})
  target_link_libraries(bj_${name} PUBLIC bj_base)
  if(WIN32)
    target_sources(bj_${name} PRIVATE ${arg_WIN32})
    target_link_libraries(bj_${name} PUBLIC bj_framework)
  endif()
endfunction()
