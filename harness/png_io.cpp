#include "harness/png_io.h"

#include <png.h>

namespace {

// Fails with libpng's message for `path`.
bool Failed(const std::string& path, const png_image& png, std::string* error) {
  if (error != nullptr) *error = path + ": " + png.message;
  return false;
}

}  // namespace

bool WritePng(const std::string& path, const RgbaImage& image, std::string* error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr))
    return Failed(path, png, error);
  return true;
}

bool ReadPng(const std::string& path, RgbaImage* image, std::string* error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return Failed(path, png, error);
  png.format = PNG_FORMAT_RGBA;
  image->width = static_cast<int>(png.width);
  image->height = static_cast<int>(png.height);
  image->pixels.resize(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr)) return true;
  png_image_free(&png);
  return Failed(path, png, error);
}
