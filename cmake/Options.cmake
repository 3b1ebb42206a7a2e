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
