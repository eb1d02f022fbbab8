# Checks each firmware image's size and writes the source that embeds them.
# Called at build time with IMAGE_DIR, OUTPUT and IMAGES, a list of
# "file:symbol:size" entries joined by "|". A wrong size fails the build naming the file.
string(REPLACE "|" ";" IMAGES "${IMAGES}")
set(asm_lines "")
set(declarations "")
set(table "")
foreach(entry ${IMAGES})
  string(REPLACE ":" ";" fields "${entry}")
  list(GET fields 0 file)
  list(GET fields 1 symbol)
  list(GET fields 2 expected_text)
  math(EXPR expected "${expected_text}")
  set(path "${IMAGE_DIR}/${file}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "protocol/images/${file} is missing")
  endif()
  file(SIZE "${path}" actual)
  if(NOT actual EQUAL expected)
    message(FATAL_ERROR
      "protocol/images/${file} is ${actual} bytes; it must be ${expected} (${expected_text})")
  endif()
  # The hash makes the source change whenever an image does, so no compiler
  # cache hands back an object that embeds an older image.
  file(SHA256 "${path}" hash)
  string(APPEND asm_lines
    "    .globl ${symbol}\n"
    "    .balign 16\n"
    "${symbol}:\n"
    "    .incbin \"${path}\"\n")
  string(APPEND declarations "extern \"C\" const std::uint8_t ${symbol}[];\n")
  string(APPEND table "    {\"${file}\", ${symbol}, ${expected}}, // sha256 ${hash}\n")
endforeach()

# ELF returns to the section before; COFF has no section stack, so the
# assembler goes back to the code section, where a top-level asm starts.
if(COFF)
  set(section_start ".section .rdata$dravo_protocol_images,\"dr\"")
  set(section_end ".text")
else()
  set(section_start ".section .rodata.dravo_protocol_images,\"a\"")
  set(section_end ".previous")
endif()

file(WRITE "${OUTPUT}.new"
"// Generated at build time from protocol/images; do not edit.
#include \"protocol/embedded_images.h\"

asm(R\"(
    ${section_start}
${asm_lines}    ${section_end}
)\");

${declarations}
const std::vector<EmbeddedImage>& EmbeddedImages() {
    static const std::vector<EmbeddedImage> images{
${table}    };
    return images;
}
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
