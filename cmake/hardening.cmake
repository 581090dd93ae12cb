# SPDX-License-Identifier: MIT
# Debian's hardening for every build, not only the package's: the tests then run the very code
# the package ships. Stack protector, format checks, fortified C library calls, a read-only
# relocation table resolved at start (relro and now) and position-independent programs (PIE).
option(NERIN_HARDEN "Build with Debian's hardening flags" ON)
if(NOT NERIN_HARDEN)
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# The fortified calls need the optimiser, and they hide from the sanitizers the very overruns
# those are run to find: left out of unoptimised and sanitizer builds. A toolchain that already
# defines the macro is overridden rather than warned about.
if(NOT NERIN_SANITIZE AND NOT NERIN_BUILD_FUZZ)
  set(nerin_optimised "$<NOT:$<CONFIG:Debug>>")
  add_compile_options("$<${nerin_optimised}:-U_FORTIFY_SOURCE>" "$<${nerin_optimised}:-D_FORTIFY_SOURCE=2>")
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
