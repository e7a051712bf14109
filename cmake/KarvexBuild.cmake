# Compiler settings shared by every target, and helpers to place deliverables.

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(MINGW)
  # Windows programs run without any MinGW DLL beside them.
  add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE __USE_MINGW_ANSI_STDIO=1)
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  add_compile_definitions(_FILE_OFFSET_BITS=64)
endif()

# karvex_deliverable(target): the program or library goes to KARVEX_DIST_DIR.
function(karvex_deliverable target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${KARVEX_DIST_DIR}"
    LIBRARY_OUTPUT_DIRECTORY "${KARVEX_DIST_DIR}")
endfunction()

# Size-optimised settings for the small Windows programs (loader stub, SFU core, shell extension).
function(karvex_small_binary target)
  target_compile_options(${target} PRIVATE -Os -ffunction-sections -fdata-sections)
  target_link_options(${target} PRIVATE -s -Wl,--gc-sections)
endfunction()
