# Writes the program's icon IN as a shorter SVG OUT for the page (its favicon and the manifest's
# icon): each line becomes a path and whole coordinates lose their ".0"; the picture is the same.
#   cmake -DIN=app/stringart.svg -DOUT=site/icon.svg -P ShortSvg.cmake
file(READ ${IN} svg)
string(REGEX REPLACE "<\\?xml[^>]*>\n" "" svg "${svg}")
string(REGEX REPLACE
  "<line x1=\"([^\"]+)\" y1=\"([^\"]+)\" x2=\"([^\"]+)\" y2=\"([^\"]+)\" stroke=\"([^\"]+)\"/>"
  "<path d=\"M\\1 \\2 \\3 \\4\" stroke=\"\\5\"/>" svg "${svg}")
string(REGEX REPLACE "([0-9])\\.0([ \"])" "\\1\\2" svg "${svg}")
string(REPLACE "\n" "" svg "${svg}")
file(WRITE ${OUT} "${svg}\n")
