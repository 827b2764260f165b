// The program icon as PNG pictures, one per size, built into the program
// from data/icons (see cmake/EmbedIcons.cmake).
#pragma once

#include <cstddef>

namespace pelikon {

struct IconPicture {
  int size;  // width and height in pixels
  const unsigned char* png;
  size_t length;
};

extern const IconPicture kProgramIconPictures[];
extern const size_t kProgramIconPictureCount;

}  // namespace pelikon
