# SPDX-License-Identifier: GPL-3.0-or-later
# The training run of a profile-guided build: the instrumented molvane-convert
# converts the sample passage, fifty times over (less than one piece), in
# every notation, with character and word readings and with tones. Its counts go to
# PROFILE_DIR. Run again only when the instrumented program changed, so an
# unchanged tree rebuilds nothing.
#
#   cmake -DCONVERT=... -DPASSAGE=... -DPROFILE_DIR=... -DSTAMP=... -P train_profile.cmake
foreach(variable CONVERT PASSAGE PROFILE_DIR STAMP)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "train_profile.cmake needs -D${variable}=...")
  endif()
endforeach()

file(SHA256 "${CONVERT}" program)
if(EXISTS "${STAMP}")
  file(READ "${STAMP}" trained)
  if(trained STREQUAL program)
    return()
  endif()
endif()

# Counts add up across runs: a new program starts from none.
file(GLOB old "${PROFILE_DIR}/*.gcda")
if(old)
  file(REMOVE ${old})
endif()
file(MAKE_DIRECTORY "${PROFILE_DIR}")

# Fifty passages: about 130 KB, one piece, so one process does all the work.
file(READ "${PASSAGE}" passage)
string(REPEAT "${passage}" 50 text)
set(input "${PROFILE_DIR}/training.txt")
file(WRITE "${input}" "${text}")

# One run a line, its arguments apart by spaces: the window's own output,
# the Chinese characters read in their words, and the defaults for readers.
set(runs
  "--exact -n current-braille" "--exact -n double-braille" "--exact -n shuangpin"
  "--exact -n pinyin" "--exact -n wubi"
  "--exact -n current-braille --readings=words" "--exact -n double-braille --readings=words"
  "--exact -n shuangpin --readings=words" "--exact -n pinyin --readings=words --tones=marks"
  "-n current-braille" "-n double-braille" "-n shuangpin" "-n pinyin" "-n wubi")
foreach(run IN LISTS runs)
  separate_arguments(arguments UNIX_COMMAND "${run}")
  execute_process(COMMAND "${CONVERT}" -j 1 ${arguments} "${input}"
                  OUTPUT_QUIET RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "training run '${run}' failed: ${failed}")
  endif()
endforeach()
file(REMOVE "${input}")
file(WRITE "${STAMP}" "${program}")
