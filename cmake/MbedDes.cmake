# mbed_des: the DES module of mbed TLS 2.28. Natively Debian's libmbedcrypto;
# for Windows, des.c and platform_util.c compiled from Debian's source package
# (tools/setup.sh fetches it into third_party_src/; -DMBEDTLS_SOURCE_DIR=... names another tree).
if(CMAKE_CROSSCOMPILING)
  set(MBEDTLS_SOURCE_DIR "" CACHE PATH "mbed TLS 2.28 source tree")
  set(_mbedtls_dir "${MBEDTLS_SOURCE_DIR}")
  if(NOT _mbedtls_dir)
    file(GLOB _mbedtls_candidates LIST_DIRECTORIES true "${PROJECT_SOURCE_DIR}/third_party_src/mbedtls-2.28*/library/des.c")
    if(_mbedtls_candidates)
      list(GET _mbedtls_candidates 0 _mbedtls_des)
      get_filename_component(_mbedtls_dir "${_mbedtls_des}/../.." ABSOLUTE)
    endif()
  endif()
  if(NOT EXISTS "${_mbedtls_dir}/library/des.c")
    message(FATAL_ERROR "mbed TLS 2.28 sources not found (looked in '${_mbedtls_dir}'): "
                        "run tools/setup.sh, or pass -DMBEDTLS_SOURCE_DIR=<mbed TLS source tree>")
  endif()
  add_library(mbed_des STATIC
    ${_mbedtls_dir}/library/des.c
    ${_mbedtls_dir}/library/platform_util.c)
  target_include_directories(mbed_des SYSTEM PUBLIC ${_mbedtls_dir}/include
                             PRIVATE ${_mbedtls_dir}/library)
  target_link_libraries(mbed_des PRIVATE velmora_flags)
  set_target_properties(mbed_des PROPERTIES C_VISIBILITY_PRESET hidden)
else()
  find_path(MBEDTLS_INCLUDE_DIR mbedtls/des.h REQUIRED)
  find_library(MBEDCRYPTO_LIBRARY mbedcrypto REQUIRED)
  add_library(mbed_des INTERFACE)
  target_include_directories(mbed_des SYSTEM INTERFACE ${MBEDTLS_INCLUDE_DIR})
  target_link_libraries(mbed_des INTERFACE ${MBEDCRYPTO_LIBRARY})
endif()
