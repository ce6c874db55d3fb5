# Shared by the toolchain files of the builds in Microsoft's C++ ABI: clang 22 for the target
# KEST_TARGET, linked by lld-link 22 (from 22 on, clang puts the vector deleting destructor
# in slot 0 of a virtual table, as Microsoft's compiler does, so that a program's delete[]
# through it destroys every element and frees the whole block); MinGW-w64's C and Win32
# headers; import libraries made from MinGW-w64's (msvc/CMakeLists.txt) with msvcrt.dll as
# the C runtime. Nothing of libstdc++ or libgcc can serve this ABI, so the include path holds
# msvc/include, clang's own headers (intrinsics) and the C and Win32 headers only.
set(CMAKE_SYSTEM_NAME Windows)
set(KEST_ABI msvc)

# Debian's clang-22, lld-22 and llvm-22: the compiler finds lld-link beside itself, and the
# build's scripts take llvm-dlltool, llvm-nm and llvm-readobj from this folder too.
set(KEST_LLVM_BIN /usr/lib/llvm-22/bin CACHE PATH "clang, lld and llvm tools of the build")
set(CMAKE_C_COMPILER ${KEST_LLVM_BIN}/clang)
set(CMAKE_CXX_COMPILER ${KEST_LLVM_BIN}/clang++)
set(CMAKE_C_COMPILER_TARGET ${KEST_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${KEST_TARGET})
set(CMAKE_RC_COMPILER ${KEST_LLVM_BIN}/llvm-rc)
set(CMAKE_AR ${KEST_LLVM_BIN}/llvm-ar)
set(CMAKE_RANLIB ${KEST_LLVM_BIN}/llvm-ranlib)
# The export table is read with MinGW's objdump, as for the MinGW builds.
set(KEST_OBJDUMP ${KEST_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump that reads the DLL")
set(KEST_MINGW_ROOT /usr/${KEST_MINGW_TRIPLET})

# Release unless asked otherwise, as for the MinGW builds (CMake's default for compilers
# in Microsoft's ABI is Debug).
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type")
endif()

# Test programs of the compiler checks have no C runtime start-up to link with.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH ${KEST_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-resource-dir
                OUTPUT_VARIABLE KEST_CLANG_RESOURCE_DIR OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(KEST_MSVC_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/../msvc/include ABSOLUTE)
# -fno-threadsafe-statics: guarded statics would need the static runtime's
# _Init_thread_header, which msvcrt.dll does not have. SSE2 doubles and no contraction, so
# results match the MinGW builds bit for bit. MinGW-w64's headers mark the C runtime's
# functions and data dllimport only where __declspec is a macro, as their own compilers
# define it. The link step sees these flags too, hence -Wno-unused-command-line-argument.
set(KEST_MSVC_FLAGS
    "-fms-extensions -fms-compatibility -fgnuc-version=12 -fno-threadsafe-statics \
-ffp-contract=off -D__declspec=__declspec -Wno-unused-command-line-argument \
-nostdinc -isystem ${KEST_MSVC_INCLUDE} -isystem ${KEST_CLANG_RESOURCE_DIR}/include \
-isystem /usr/share/mingw-w64/include ${KEST_CPU_FLAGS}")
set(CMAKE_C_FLAGS_INIT "${KEST_MSVC_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${KEST_MSVC_FLAGS}")
# The resource compiler's preprocessor needs the Win32 headers too.
set(CMAKE_RC_FLAGS_INIT "-I/usr/share/mingw-w64/include")
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "")
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "")

# A project other than Kest011 built with this file (the install check's consumer) links
# with the start-up code and import libraries of a Kest011 build tree named here.
if(KEST_MSVC_RUNTIME_DIR)
  set(CMAKE_CXX_STANDARD_LIBRARIES
      "-L${KEST_MSVC_RUNTIME_DIR} -lkest_crt_exe -lmsvcrt -lkernel32" CACHE STRING "" FORCE)
endif()
