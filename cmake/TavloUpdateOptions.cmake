# What the update service is built with: the key its downloads must be signed with and the
# bounds of every transfer.
set(TAVLO_UPDATE_PUBLIC_KEY "" CACHE STRING
  "minisign public key (the base64 line of the .pub file) that update files must be signed with; empty: no update check")
set(TAVLO_UPDATE_SIZE_LIMIT 33554432 CACHE STRING "Largest file an update may download, in bytes")
set(TAVLO_UPDATE_DEADLINE 600 CACHE STRING "Seconds one update transfer may take at most")
set(TAVLO_UPDATE_STALL_TIMEOUT 30 CACHE STRING "Seconds an update transfer may go without receiving a byte")

# A mistyped key would only show as "no update ever": stop at configure time instead.
string(STRIP "${TAVLO_UPDATE_PUBLIC_KEY}" _tavlo_key)
if(NOT _tavlo_key STREQUAL "" AND NOT _tavlo_key MATCHES "^RW[A-Za-z0-9+/]+$")
  message(FATAL_ERROR "TAVLO_UPDATE_PUBLIC_KEY is not a minisign public key line (RW... as in the .pub file)")
endif()
string(LENGTH "${_tavlo_key}" _tavlo_key_length)
if(NOT _tavlo_key STREQUAL "" AND NOT _tavlo_key_length EQUAL 56)
  message(FATAL_ERROR "TAVLO_UPDATE_PUBLIC_KEY must be 56 characters long, it has ${_tavlo_key_length}")
endif()
foreach(_tavlo_number TAVLO_UPDATE_SIZE_LIMIT TAVLO_UPDATE_DEADLINE TAVLO_UPDATE_STALL_TIMEOUT)
  if(NOT ${_tavlo_number} MATCHES "^[1-9][0-9]*$")
    message(FATAL_ERROR "${_tavlo_number} must be a positive whole number")
  endif()
endforeach()
if(TAVLO_UPDATE_SIZE_LIMIT GREATER 1073741824)
  message(FATAL_ERROR "TAVLO_UPDATE_SIZE_LIMIT is held in memory: at most 1 GiB")
endif()
if(TAVLO_UPDATE_DEADLINE GREATER 86400 OR TAVLO_UPDATE_STALL_TIMEOUT GREATER 86400)
  message(FATAL_ERROR "TAVLO_UPDATE_DEADLINE and TAVLO_UPDATE_STALL_TIMEOUT are seconds: at most a day")
endif()

# libsodium checks the signatures (Debian: libsodium-dev).
find_path(TAVLO_SODIUM_INCLUDE_DIR sodium.h)
find_library(TAVLO_SODIUM_LIBRARY sodium)
if(NOT TAVLO_SODIUM_INCLUDE_DIR OR NOT TAVLO_SODIUM_LIBRARY)
  message(FATAL_ERROR "libsodium not found (Debian: apt-get install libsodium-dev)")
endif()
add_library(tavlo_sodium INTERFACE IMPORTED)
target_include_directories(tavlo_sodium INTERFACE ${TAVLO_SODIUM_INCLUDE_DIR})
target_link_libraries(tavlo_sodium INTERFACE ${TAVLO_SODIUM_LIBRARY})
