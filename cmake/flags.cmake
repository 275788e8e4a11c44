# Compiler settings shared by every target, and the stricter rules for the plug-ins.

set(HL_IS_I386 OFF)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(HL_IS_I386 ON)
endif()

# Warnings are errors on our own code (not on third-party sources such as GoogleTest).
set(HL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)

# 32-bit x86: SSE2 arithmetic so that every float is rounded to single precision as it
# is formed (the x87 unit keeps excess precision), and a realigned stack in every
# function, since the engine calls with 4-byte alignment only.
set(HL_ARCH_FLAGS)
if(HL_IS_I386)
  list(APPEND HL_ARCH_FLAGS -msse2 -mfpmath=sse -mstackrealign)
endif()
add_compile_options(${HL_ARCH_FLAGS})

set(HL_SANITIZE_FLAGS)
if(HL_SANITIZE)
  set(HL_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${HL_SANITIZE_FLAGS})
  add_link_options(${HL_SANITIZE_FLAGS})
endif()

# Our own code (host, tests, tools): warnings as errors.
function(hl_own_code target)
  target_compile_options(${target} PRIVATE ${HL_WARNINGS})
endfunction()

# Plug-in code: plain C++17 without exceptions or RTTI, hidden symbols.
function(hl_plugin_code target)
  hl_own_code(${target})
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fvisibility=hidden
                                           -fvisibility-inlines-hidden)
endfunction()

# A deliverable: loadable module (no import library, no soname) named as operators expect, exporting only the names in
# the given list file (version script on Linux, .def file on Windows).
#   hl_deliverable(<target> <exports.map> <exports.def>)
function(hl_deliverable target map_file def_file)
  hl_plugin_code(${target})
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(WIN32)
    target_sources(${target} PRIVATE ${def_file})
    # No link time stamp in the PE header, so that a rebuild gives the same bytes.
    target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++ -static -Wl,--kill-at
                        -Wl,--no-insert-timestamp)
  else()
    if(HL_IS_I386)
      set_target_properties(${target} PROPERTIES OUTPUT_NAME "${target}_i386")
    endif()
    target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++
                        -Wl,--version-script=${map_file} -Wl,--no-undefined -Wl,-z,defs
                        -Wl,--gc-sections)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map_file})
  endif()
endfunction()
