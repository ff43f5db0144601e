# Writes SITE/sw.js from IN with @VERSION@ set to 12 hex digits of a hash of the FILES in SITE
# (names and contents) and @FILES@ to their list, shortened as ShortText.cmake does.
#   cmake -DSITE=site -DFILES="index.html;page.js" -DIN=web/sw.js -P ServiceWorker.cmake
set(all "")
set(list "")
foreach(file ${FILES})
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND all "${file} ${hash}\n")
  string(APPEND list "'${file}', ")
endforeach()
string(SHA256 version "${all}")
string(SUBSTRING ${version} 0 12 VERSION)
set(FILES "${list}")
configure_file(${IN} ${SITE}/sw.js.full @ONLY)
set(IN ${SITE}/sw.js.full)
set(OUT ${SITE}/sw.js)
include(${CMAKE_CURRENT_LIST_DIR}/ShortText.cmake)
file(REMOVE ${IN})
