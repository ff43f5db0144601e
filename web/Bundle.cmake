# Writes the page's modules IN (a list, each after those it imports) as the one script OUT that
# the browser loads, shortened as ShortText.cmake does. The modules share one function's scope
# there: their imports go, "export" goes, and no two of them declare the same name at their top.
# One file rather than twelve: each compressed alone, they weighed 6 KB more than together. A
# plain script rather than a module, so that a page opened as a file still runs it and says
# why it cannot draw (browsers load no module from a file).
#   cmake "-DIN=ui.js;engine.js;page.js" -DOUT=site/page.js -P Bundle.cmake
set(text "'use strict';\n(() => {\n")
foreach(module ${IN})
  file(READ ${module} code)
  string(REGEX REPLACE "(^|\n)import {[^}]*} from '[^']*';" "\\1" code "${code}")
  string(REGEX REPLACE "(^|\n)export " "\\1" code "${code}")
  string(APPEND text "${code}\n")
endforeach()
get_filename_component(folder ${OUT} DIRECTORY)
set(whole ${folder}/bundle.js.full)
file(WRITE ${whole} "${text}})();\n")
set(IN ${whole})
include(${CMAKE_CURRENT_LIST_DIR}/ShortText.cmake)
file(REMOVE ${whole})
