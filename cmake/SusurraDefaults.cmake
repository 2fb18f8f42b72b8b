# SPDX-License-Identifier: GPL-3.0-or-later
# Compiler settings shared by every Susurra target.
#
# Outputs must be bit-identical on every build, so floating-point contraction
# (FMA) and fast-math are off everywhere, not only in the DSP code.

set(SUSURRA_COMMON_OPTIONS
  -Wall -Wextra
  -ffp-contract=off -fno-fast-math
)
# Warnings stop CI and the scripts; a user's plain build must never fail on a
# new compiler's new warning.
if(SUSURRA_WERROR)
  list(APPEND SUSURRA_COMMON_OPTIONS -Werror)
endif()

if(SUSURRA_SANITIZE)
  set(SUSURRA_SANITIZE_FLAGS -fsanitize=${SUSURRA_SANITIZE} -fno-omit-frame-pointer)
  if(SUSURRA_SANITIZE MATCHES "undefined")
    # Not part of "undefined": a NaN or an out-of-range double made an integer.
    list(APPEND SUSURRA_SANITIZE_FLAGS -fsanitize=float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow)
  endif()
  add_compile_options(${SUSURRA_SANITIZE_FLAGS})
  add_link_options(${SUSURRA_SANITIZE_FLAGS})
endif()

# The synthesis has an x86 vector path and a portable one with the same bits.
# SUSURRA_PORTABLE_SIMD forces the portable one everywhere.
option(SUSURRA_PORTABLE_SIMD "Use the portable synthesis arithmetic even where SSE2 is available" OFF)
if(SUSURRA_PORTABLE_SIMD)
  add_compile_definitions(SUSURRA_PORTABLE_SIMD)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i.86)$" AND NOT SUSURRA_PORTABLE_SIMD)
  set(SUSURRA_HAS_SSE2_PATH ON)
else()
  set(SUSURRA_HAS_SSE2_PATH OFF)
endif()

# The hardening Debian builds its packages with: fortified libc calls where
# the build optimises, stack protector, and full RELRO with immediate binding.
# The compiler makes position-independent executables by default. Sanitizer
# builds leave fortification off: it hides overflows from the sanitizers.
option(SUSURRA_HARDEN "Build with fortify, stack protector and full RELRO" ON)
if(SUSURRA_HARDEN)
  add_compile_options(-fstack-protector-strong)
  if(NOT SUSURRA_SANITIZE)
    add_compile_options(
      "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>"
      "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>")
  endif()
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()

# Applies the project's warnings and floating-point rules to a target.
function(susurra_target_defaults target)
  target_compile_options(${target} PRIVATE ${SUSURRA_COMMON_OPTIONS})
endfunction()

# Registers one GoogleTest executable with CTest.
#   susurra_add_test(NAME foo_test SOURCES a.cpp b.cpp LIBS lib... LABELS core thread [WRAPPER cmd...])
# WRAPPER runs the test inside another program (dbus-run-session --).
# Labels: "core" runs under ASan/UBSan in CI, "thread" under TSan, "app" needs Qt.
function(susurra_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;WRAPPER" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  susurra_target_defaults(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  if(T_WRAPPER)
    add_test(NAME ${T_NAME} COMMAND ${T_WRAPPER} $<TARGET_FILE:${T_NAME}>)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
endfunction()
