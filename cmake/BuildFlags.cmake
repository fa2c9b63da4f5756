# velmora_flags: what every target of ours is built with, in one place.
add_library(velmora_flags INTERFACE)
target_compile_options(velmora_flags INTERFACE -Wall -Wextra)

if(WIN32)
  # The oldest Windows each build must load on: XP SP3 for x86, Vista for x64. The headers
  # then hide anything newer, and the import check in tests/ catches the rest.
  # No -msse2 for x86: processors of that era may lack it; vector code picks itself at run time.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(VELMORA_WINNT 0x0501)
  else()
    set(VELMORA_WINNT 0x0600)
  endif()
  target_compile_definitions(velmora_flags INTERFACE _WIN32_WINNT=${VELMORA_WINNT} WINVER=${VELMORA_WINNT}
                             UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
endif()

if(VELMORA_SANITIZE)
  set(_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(velmora_flags INTERFACE ${_sanitizers})
  target_link_options(velmora_flags INTERFACE ${_sanitizers})
endif()
