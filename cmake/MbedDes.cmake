# mbed_des: the DES module of mbed TLS 2.28. Natively Debian's libmbedcrypto;
# for Windows, des.c and platform_util.c compiled from Debian's source package.
if(CMAKE_CROSSCOMPILING)
  file(GLOB _mbedtls_candidates LIST_DIRECTORIES true "${PROJECT_SOURCE_DIR}/third_party_src/mbedtls-2.28*")
  list(FILTER _mbedtls_candidates EXCLUDE REGEX "\\.(tar|dsc)")
  list(GET _mbedtls_candidates 0 _mbedtls_default)
  set(MBEDTLS_SOURCE_DIR "${_mbedtls_default}" CACHE PATH "mbed TLS 2.28 source tree")
  if(NOT EXISTS "${MBEDTLS_SOURCE_DIR}/library/des.c")
    message(FATAL_ERROR "mbed TLS sources not found; run tools/setup.sh")
  endif()
  add_library(mbed_des STATIC
    ${MBEDTLS_SOURCE_DIR}/library/des.c
    ${MBEDTLS_SOURCE_DIR}/library/platform_util.c)
  target_include_directories(mbed_des SYSTEM PUBLIC ${MBEDTLS_SOURCE_DIR}/include
                             PRIVATE ${MBEDTLS_SOURCE_DIR}/library)
  set_target_properties(mbed_des PROPERTIES C_VISIBILITY_PRESET hidden)
else()
  find_path(MBEDTLS_INCLUDE_DIR mbedtls/des.h REQUIRED)
  find_library(MBEDCRYPTO_LIBRARY mbedcrypto REQUIRED)
  add_library(mbed_des INTERFACE)
  target_include_directories(mbed_des SYSTEM INTERFACE ${MBEDTLS_INCLUDE_DIR})
  target_link_libraries(mbed_des INTERFACE ${MBEDCRYPTO_LIBRARY})
endif()
