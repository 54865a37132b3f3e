# cmake -DPROGRAM=... -DTEMPLATE=page.html -DSTYLE=page.css -DPAGE_SCRIPT=page.js
#       -DPROGRAM_SCRIPT=kalorix.js -DOUTPUT=kalorix.html -P inline_page.cmake
# One page that needs no other file: the style and both scripts (the
# program's with its module and files inside) written into the page, so that
# it runs opened from a stick or a download folder, where a browser fetches
# nothing beside a file:// page.
cmake_minimum_required(VERSION 3.20)
file(READ ${TEMPLATE} page)
file(READ ${STYLE} style)
file(READ ${PAGE_SCRIPT} page_script)
file(READ ${PROGRAM_SCRIPT} program_script)
# Inside <script> the parser ends at the first "</script" and treats "<!--"
# specially; both stay the same text to JavaScript with a backslash.
foreach(name page_script program_script)
  string(REPLACE "</script" "<\\/script" ${name} "${${name}}")
  string(REPLACE "<!--" "<\\!--" ${name} "${${name}}")
endforeach()
string(REPLACE "</style" "<\\/style" style "${style}")
string(REPLACE "@PROGRAM@" "${PROGRAM}" page "${page}")
foreach(tag IN ITEMS "<link rel=\"stylesheet\" href=\"page.css\">" "<script src=\"page.js\"></script>"
                     "<script src=\"${PROGRAM}.js\"></script>")
  string(FIND "${page}" "${tag}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${TEMPLATE} lacks ${tag}")
  endif()
endforeach()
string(REPLACE "<link rel=\"stylesheet\" href=\"page.css\">" "<style>\n${style}</style>" page "${page}")
string(REPLACE "<script src=\"page.js\"></script>" "<script>\n${page_script}</script>" page "${page}")
string(REPLACE "<script src=\"${PROGRAM}.js\"></script>" "<script>\n${program_script}</script>" page "${page}")
file(WRITE ${OUTPUT}.part "${page}")
file(RENAME ${OUTPUT}.part ${OUTPUT})
