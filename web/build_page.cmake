cmake_minimum_required(VERSION 3.16)
# Writes the page: page.html with the style, the worker's source, the
# module (base64) and the page's script put in, and a Content-Security-Policy
# that allows exactly these inline parts and no connection.
#   cmake -DSOURCE_DIR=web -DMODULE=zirel_web.wasm -DVERSION=x.y.z
#         -DTEXT_TABLES=ON|OFF -DOUT=n64zirelcnv.html -P build_page.cmake
include(${SOURCE_DIR}/base64.cmake)

file(READ ${SOURCE_DIR}/page.html page)
file(READ ${SOURCE_DIR}/page.css style)
file(READ ${SOURCE_DIR}/page.js script)
file(READ ${SOURCE_DIR}/worker.js worker)
file(READ ${SOURCE_DIR}/tool.js tool)
file(READ ${MODULE} module_hex HEX)
zirel_base64("${module_hex}" module)

if(TEXT_TABLES)
  set(text_tables true)
else()
  set(text_tables false)
endif()
string(REPLACE "@TOOL@" "${tool}" script "${script}")
string(REPLACE "@VERSION@" "${VERSION}" script "${script}")
string(REPLACE "@TEXT_TABLES@" "${text_tables}" script "${script}")

# A hash in the policy names each inline script and style that may run.
function(csp_hash text out)
  string(SHA256 hex "${text}")
  zirel_base64("${hex}" b64)
  set(${out} "'sha256-${b64}'" PARENT_SCOPE)
endfunction()
csp_hash("${script}" script_hash)
csp_hash("${style}" style_hash)
set(csp "default-src 'none'; script-src ${script_hash} 'wasm-unsafe-eval'; style-src ${style_hash}; worker-src blob:; img-src 'none'; connect-src 'none'; form-action 'none'; base-uri 'none'")

# Parts go in one by one, the largest last, so that no replacement looks
# inside text put in before it.
string(REPLACE "@CSP@" "${csp}" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@STYLE@" "${style}" page "${page}")
string(REPLACE "@WORKER@" "${worker}" page "${page}")
string(REPLACE "@SCRIPT@" "${script}" page "${page}")
string(REPLACE "@MODULE@" "${module}" page "${page}")
file(WRITE ${OUT} "${page}")
