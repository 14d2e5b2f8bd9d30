# Writes a C++ source that holds the bytes of a file as an array, so that a
# data file is built into a library and the program needs no file at run
# time. Run as: cmake -DIN=file -DOUT=source.cpp -DNAME=identifier -P EmbedFile.cmake
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name ${IN} NAME)
file(WRITE ${OUT}
  "// Generated at build time from ${name}; do not edit.\n"
  "#include <cstddef>\n"
  "namespace korthal::embedded {\n"
  "extern const unsigned char ${NAME}[];\n"
  "extern const std::size_t ${NAME}Size;\n"
  "const unsigned char ${NAME}[] = {${bytes}};\n"
  "const std::size_t ${NAME}Size = sizeof ${NAME};\n"
  "}\n")
