# cmake -DTEMPLATE=service-worker.js.in -DFOLDER=... -DFILES=a,b,... -DOUTPUT=... -P service_worker.cmake
# The service worker names its store after the contents of the files it
# keeps: other files on the server make another worker, which replaces the
# kept ones on its first visit.
cmake_minimum_required(VERSION 3.20)
string(REPLACE "," ";" files "${FILES}")
set(digests "")
set(listed "")
foreach(file IN LISTS files)
  file(SHA256 ${FOLDER}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  list(APPEND listed "'${file}'")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 VERSION)
list(JOIN listed ", " FILES)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
