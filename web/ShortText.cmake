# Writes the script or style sheet IN as OUT without indentation, blank lines, lines that hold
# only a comment ("//", or a "/* */" block that starts a line) and comments after code (two spaces,
# then "// "; no string or pattern of these scripts holds that), and the spaces around an arrow
# (" => ") and before a block's brace (") {"), which no string holds either: what the browser
# runs is the same.
#   cmake -DIN=web/page.js -DOUT=site/page.js -P ShortText.cmake
file(READ ${IN} text)
string(REGEX REPLACE "\n[ \t]+" "\n" text "${text}")
string(REGEX REPLACE "(^|\n)/\\*[^*]*\\*+([^/*][^*]*\\*+)*/" "\\1" text "${text}")
string(REGEX REPLACE "(^|\n)//[^\n]*" "" text "${text}")
string(REGEX REPLACE "  +// [^\n]*" "" text "${text}")
string(REGEX REPLACE "\n\n+" "\n" text "${text}")
string(REPLACE " => " "=>" text "${text}")
string(REPLACE ") {" "){" text "${text}")
string(REGEX REPLACE "^\n" "" text "${text}")
file(WRITE ${OUT} "${text}")
