# Writes OUTPUT, a C++ file that carries the bitmap resources FONT, GLYPHS and CODE
# inside the tools, as the resource compiler carries them inside tavelo.exe.
function(embed variable path)
  file(READ "${path}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  file(APPEND "${OUTPUT}.new"
    "extern const unsigned char ${variable}[] = {\n${bytes}};\n"
    "extern const std::size_t ${variable}Size = sizeof ${variable};\n")
endfunction()

file(WRITE "${OUTPUT}.new" "// Made by embed_resources.cmake; not to be edited.\n#include <cstddef>\n")
embed(kFontBitmapFile "${FONT}")
embed(kGlyphsBitmapFile "${GLYPHS}")
embed(kCodeBitmapFile "${CODE}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
