# Writes a program's manual page from its --help, so that the two never drift apart, and
# compresses it as Debian wants it. Run as a script:
#   cmake -DPROGRAM=<executable> -DNAME=<name> -DVERSION=<version> -DDATA_FOLDER=<folder>
#         -DOUTPUT=<page.1.gz> -P TavloManPage.cmake
# The help is asked for in the C locale: the page is the English one.
cmake_minimum_required(VERSION 3.25)
set(ENV{LC_ALL} C)
set(ENV{LANGUAGE} "")
# Run from a folder of its own, so that a Language line in the build's TAVLO.ini cannot reach it.
set(alone "${OUTPUT}.run")
file(REMOVE_RECURSE "${alone}")
file(COPY "${PROGRAM}" DESTINATION "${alone}")
get_filename_component(program_name "${PROGRAM}" NAME)
execute_process(COMMAND "${alone}/${program_name}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
file(REMOVE_RECURSE "${alone}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()

function(troff_escape text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE ";" "\\;" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(part usage)
set(description "")
set(options "")
set(summary "")
foreach(line IN LISTS lines)
  if(part STREQUAL "usage")
    set(part description)
  elseif(part STREQUAL "description")
    if(line STREQUAL "")
      set(part between)
    elseif(NOT line MATCHES "^Program folder:") # where this build runs from, not the installed one
      if(summary STREQUAL "")
        string(REGEX REPLACE "^${NAME} (.*)\\.$" "\\1" summary "${line}")
      endif()
      troff_escape("${line}" line)
      string(APPEND description "${line}\n.PP\n")
    endif()
  elseif(line STREQUAL "Options:")
    set(part options)
  elseif(part STREQUAL "options" AND line MATCHES "^  (-[^ ].*[^ ])  +([^ ].*)$")
    troff_escape("${CMAKE_MATCH_1}" option)
    troff_escape("${CMAKE_MATCH_2}" text)
    string(APPEND options ".TP\n.B ${option}\n${text}\n")
  elseif(part STREQUAL "options" AND line MATCHES "^ +([^ ].*)$")
    troff_escape("${CMAKE_MATCH_1}" text)
    string(APPEND options "${text}\n")
  endif()
endforeach()
if(summary STREQUAL "" OR options STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help has no description or no options")
endif()
troff_escape("${summary}" summary)
troff_escape("${NAME}" name)
troff_escape("${DATA_FOLDER}" data)

string(CONCAT page
  ".TH ${name} 1 \"\" \"${name} ${VERSION}\" \"User Commands\"\n"
  ".SH NAME\n${name} \\- ${summary}\n"
  ".SH SYNOPSIS\n.B ${name}\n[\\fIoptions\\fR]\n"
  ".SH DESCRIPTION\n${description}"
  ".SH OPTIONS\n${options}"
  ".SH FILES\n"
  "Installed, the program folder is the user's own data folder, \\fI~/.local/share/TAVLO\\fR "
  "(under \\fB$XDG_DATA_HOME\\fR when it is set); the first start fills it from \\fI${data}\\fR. "
  "A copy of the programs in a folder of their own uses that folder instead. "
  "\\fB\\-\\-help\\fR names the folder in use.\n"
  ".SH SEE ALSO\n"
  "\\fBTAVLO\\fR(1), \\fBTAVLO\\-Display\\fR(1)\n")
string(REGEX REPLACE "\\.gz$" "" plain "${OUTPUT}")
file(WRITE "${plain}" "${page}")
# Without a name or a time in the header, so that the page is the same on every build.
execute_process(COMMAND gzip -9nf "${plain}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${plain}")
endif()
