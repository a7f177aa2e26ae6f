# SPDX-License-Identifier: GPL-3.0-or-later
# Profile-guided optimisation of Release builds with GCC.
#
# A training build of molvane-convert, instrumented, converts a fixed text in
# every notation (cmake/train_profile.cmake); the real build then compiles
# every source with the counts that run left. The program code is compiled as
# it stands: only the compiler's choices (which branch falls through, what is
# inlined, which loops are unrolled) follow the counts. The training text and
# run are fixed, so the same sources give the same profile and binary.
#
# The profile's file names are kept relative to each build's own folder
# (-fprofile-prefix-path), so the training build's counts are found by the
# objects of the real build at the same relative paths.

set(MOLVANE_PROFILE_DIR "${CMAKE_BINARY_DIR}/profile")
set(MOLVANE_PROFILE_STAMP "${MOLVANE_PROFILE_DIR}/trained.stamp")

# The training build: instrumented objects, counts written into the parent's
# profile folder.
function(molvane_profile_generate profile_dir)
  add_compile_options(-fprofile-generate=${profile_dir} -fprofile-update=single
                      -fprofile-prefix-path=${CMAKE_BINARY_DIR})
  add_link_options(-fprofile-generate=${profile_dir})
endfunction()

# The real build: the training build as an external project, run first, and
# its counts used by every compile.
function(molvane_profile_use)
  include(ExternalProject)
  ExternalProject_Add(molvane_training
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${CMAKE_BINARY_DIR}/training"
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
               "-DCMAKE_CXX_FLAGS=${CMAKE_CXX_FLAGS}"
               "-DCMAKE_CXX_FLAGS_RELEASE=${CMAKE_CXX_FLAGS_RELEASE}"
               "-DCMAKE_EXE_LINKER_FLAGS=${CMAKE_EXE_LINKER_FLAGS}"
               -DMOLVANE_TESTS=OFF -DMOLVANE_BENCH=OFF -DMOLVANE_QT=OFF
               -DMOLVANE_LTO=${MOLVANE_LTO} -DMOLVANE_HARDENING=${MOLVANE_HARDENING}
               -DMOLVANE_PGO=OFF -DMOLVANE_TRAINING_FOR=${MOLVANE_PROFILE_DIR}
    INSTALL_COMMAND ${CMAKE_COMMAND} -DCONVERT=<BINARY_DIR>/app/molvane-convert
                    -DPASSAGE=${CMAKE_SOURCE_DIR}/samples/passage.txt
                    -DPROFILE_DIR=${MOLVANE_PROFILE_DIR} -DSTAMP=${MOLVANE_PROFILE_STAMP}
                    -P ${CMAKE_SOURCE_DIR}/cmake/train_profile.cmake
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${MOLVANE_PROFILE_STAMP})
  # Functions the training run never reached (the Qt backend, error paths)
  # are optimised as without a profile, and so is one whose counts do not fit
  # (a warning, not an error): the training build has the same sources and
  # flags, so that should not happen, but a build must not fail for it.
  add_compile_options(-fprofile-use=${MOLVANE_PROFILE_DIR} -fprofile-partial-training
                      -fprofile-prefix-path=${CMAKE_BINARY_DIR} -Wno-missing-profile
                      -Wno-error=coverage-mismatch)
endfunction()

function(molvane_targets_below folder out)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(sub ${folders})
    molvane_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Every compiled target waits for the training run, and its objects are
# rebuilt when the profile changes: an object compiled before the counts
# exist would silently lack them.
function(molvane_profile_every_target)
  molvane_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE|OBJECT_LIBRARY|SHARED_LIBRARY)$")
      continue()
    endif()
    add_dependencies(${target} molvane_training)
    get_target_property(sources ${target} SOURCES)
    set(compiled "")
    foreach(source ${sources})
      if(source MATCHES "\\.(cpp|cc)$")
        list(APPEND compiled ${source})
      endif()
    endforeach()
    if(compiled)
      set_property(SOURCE ${compiled} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
                   ${MOLVANE_PROFILE_STAMP})
    endif()
  endforeach()
endfunction()
