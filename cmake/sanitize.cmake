# KALVO_SANITIZE=ON: everything built with AddressSanitizer and UndefinedBehaviorSanitizer
# (tests/sanitizer.supp lists the third-party leaks left out of the report).
# KALVO_FUZZ=ON (clang): the same, with libFuzzer's coverage for the fuzz targets in fuzz/.
option(KALVO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KALVO_FUZZ "Build the fuzz targets as libFuzzer programs (clang)" OFF)
if(KALVO_SANITIZE OR KALVO_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(KALVO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
