# Toolchain for the page's module: clang's wasm32 target with the WebAssembly
# C library and C++ runtime that Debian installs (wasi-libc,
# libc++-14-dev-wasm32, libc++abi-14-dev-wasm32, libclang-rt-14-dev-wasm32).
# The module runs in the browser, not under a WASI host: it has no entry
# point and imports only the page's own functions (see platform_web.cc).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(ZIREL_WASM_TARGET wasm32-wasi)

find_program(ZIREL_CLANGXX NAMES clang++-14 clang++ REQUIRED)
set(CMAKE_CXX_COMPILER ${ZIREL_CLANGXX})
set(CMAKE_CXX_COMPILER_TARGET ${ZIREL_WASM_TARGET})
set(CMAKE_C_COMPILER_TARGET ${ZIREL_WASM_TARGET})
# wasm-ld: clang looks for "wasm-ld"; Debian installs it as wasm-ld-14.
find_program(ZIREL_WASM_LD NAMES wasm-ld-14 wasm-ld REQUIRED)
get_filename_component(ZIREL_WASM_LD_DIR ${ZIREL_WASM_LD} DIRECTORY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=${ZIREL_WASM_LD}")

# The compiler checks would link a program with an entry point.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
