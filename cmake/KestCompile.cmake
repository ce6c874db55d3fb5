# Flags shared by the library, the tool, the tests and the benchmarks.

add_compile_options(-Wall -Wextra)
# One printf for every build: MinGW's own C99 formatting, not the system runtime's, so
# numbers print and round the same on every Windows (and under Wine).
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0601 WINVER=0x0601)

# Link the compiler's runtimes (libgcc, libstdc++, winpthread) into each binary so they
# import system DLLs only.
function(kest_windows_binary target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
