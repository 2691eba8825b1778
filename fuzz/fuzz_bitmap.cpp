// Fuzzing the picture reader over the pictures a route folder brings (BMP of
// every depth and compression, JPEG): a picture is refused or loaded whole,
// never larger than the pixel limit, and never read out of bounds.
#include "media_file.h"
#include "platform/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 512 * 1024) return 0;
  cabsim::Bitmap picture;
  if (!picture.load(cabsim::fuzz::write_input(data, size, ".bmp"))) return 0;
  if (picture.width() <= 0 || picture.height() <= 0 ||
      static_cast<int64_t>(picture.width()) * picture.height() > 8192LL * 8192LL)
    __builtin_trap();
  (void)picture.pixel(picture.width() - 1, picture.height() - 1);
  return 0;
}
