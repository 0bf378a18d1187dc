# cmake -DIN=optics.txt -DOUT=ShippedOptics.cpp -P EmbedOptics.cmake: the shipped optics
# table as a C++ source defining lacqueron::colour::ShippedOpticsText().
file(READ ${IN} text)
if(text MATCHES "\\)optics\"")
  message(FATAL_ERROR "${IN} holds the text that ends the raw string: )optics\"")
endif()
file(WRITE ${OUT}.new
  "// Generated from catalogue/optics.txt by cmake/EmbedOptics.cmake; edit that file.\n"
  "#include \"colour/ShippedOptics.h\"\n\n"
  "std::string_view lacqueron::colour::ShippedOpticsText() noexcept {\n"
  "    static constexpr char kText[] = R\"optics(${text})optics\";\n"
  "    return {kText, sizeof kText - 1};\n"
  "}\n")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
