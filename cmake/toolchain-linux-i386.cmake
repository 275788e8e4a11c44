# 32-bit x86 Linux, as the dedicated server loads it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i386)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# Kernels built without 32-bit support cannot start i386 programs; the tests and tools
# then run under the user-mode emulator. Where i386 runs natively it does no harm.
find_program(HL_QEMU_I386 qemu-i386)
if(HL_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HL_QEMU_I386})
endif()
