# debian_changelog(markdown output package maintainer): writes `output`, the
# Debian changelog of `package` made from the keep-a-changelog `markdown`
# (a Debian package of its own version carries its history in that form):
#   ## [1.1.0] - 2026-12-07    ->  package (1.1.0) unstable; urgency=medium
#   ### Added                  ->    Added:
#   - an entry                 ->    * an entry
#     its next line            ->      its next line
# each release closed by the maintainer's line with the release date at noon
# UTC. Fails the configuration when `date` cannot read a release date or a
# line would exceed 80 characters. The
# file is rewritten only when its content changes.
function(debian_changelog markdown output package maintainer)
  file(READ ${markdown} content)
  string(REPLACE ";" "\\;" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(text "")
  set(trailer "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^## \\[([^]]+)\\] - (.+)$")
      set(version ${CMAKE_MATCH_1})
      execute_process(COMMAND date -u -R -d "${CMAKE_MATCH_2} 12:00"
        OUTPUT_VARIABLE when OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "${markdown}: no date in \"${line}\"")
      endif()
      string(APPEND text "${trailer}${package} (${version}) unstable; urgency=medium\n\n")
      set(trailer "\n -- ${maintainer}  ${when}\n\n")
    elseif(trailer STREQUAL "" OR line MATCHES "^\\[.*\\]: " OR line STREQUAL "")
      # Before the first release, link definitions, blank lines: not part of it.
    elseif(line MATCHES "^### (.+)$")
      string(APPEND text "  ${CMAKE_MATCH_1}:\n")
    elseif(line MATCHES "^- (.+)$")
      string(APPEND text "  * ${CMAKE_MATCH_1}\n")
    else()
      string(APPEND text "  ${line}\n")
    endif()
  endforeach()
  string(REGEX REPLACE "\n\n$" "\n" text "${text}${trailer}")
  # Debian's policy (and lintian) wants lines of at most 80 characters.
  string(REPLACE "\n" ";" out_lines "${text}")
  foreach(line IN LISTS out_lines)
    string(LENGTH "${line}" length)
    if(length GREATER 80)
      message(FATAL_ERROR "${markdown}: a line of the Debian changelog would be longer than 80 "
                          "characters (an entry's lines take 2 more than in the markdown): \"${line}\"")
    endif()
  endforeach()
  file(WRITE ${output}.new "${text}")
  configure_file(${output}.new ${output} COPYONLY)
endfunction()
