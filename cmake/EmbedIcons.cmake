# pelikon_embed_icons(OUTPUT <file.cpp> SIZES <sizes...> FOLDER <folder>)
# Writes a C++ source that holds <folder>/<size>/pelikon.png for each size
# as the table declared in "dialogs/wx/program_icon_data.h", so that the
# program carries its icon wherever it runs from. The source is written
# again when a picture changes.
function(pelikon_embed_icons)
  cmake_parse_arguments(ARG "" "OUTPUT;FOLDER" "SIZES" ${ARGN})
  set(_arrays "")
  set(_table "")
  foreach(_size ${ARG_SIZES})
    set(_png ${ARG_FOLDER}/${_size}/pelikon.png)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_png})
    file(READ ${_png} _hex HEX)
    string(LENGTH "${_hex}" _digits)
    math(EXPR _bytes "${_digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _list "${_hex}")
    string(REGEX REPLACE "((0x..,){24})" "\\1\n" _list "${_list}")
    string(APPEND _arrays "const unsigned char kIcon${_size}[${_bytes}] = {\n${_list}\n};\n")
    string(APPEND _table "    {${_size}, kIcon${_size}, sizeof kIcon${_size}},\n")
  endforeach()
  list(LENGTH ARG_SIZES _count)
  file(CONFIGURE OUTPUT ${ARG_OUTPUT} CONTENT
"// Written by cmake/EmbedIcons.cmake from data/icons; do not edit.
#include \"dialogs/wx/program_icon_data.h\"

namespace pelikon {
namespace {
@_arrays@
}  // namespace

const IconPicture kProgramIconPictures[@_count@] = {
@_table@};
const size_t kProgramIconPictureCount = @_count@;

}  // namespace pelikon
" @ONLY)
endfunction()
