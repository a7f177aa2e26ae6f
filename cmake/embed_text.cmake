# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a text file into a C++ source as one constant string, for a table
# that its library reads as it is:
#   cmake -DINPUT=table.txt -DOUTPUT=table.cpp -DNAME=kTable -DNAMESPACE=a::b -P embed_text.cmake
file(READ ${INPUT} text)
string(FIND "${text}" ")table\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string's end marker")
endif()
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\nnamespace ${NAMESPACE} {\nextern const char ${NAME}[];\nconst char ${NAME}[] = R\"table(${text})table\";\n}\n")
