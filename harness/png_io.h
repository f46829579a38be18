// Reading and writing 8-bit RGBA PNG images (libpng).
#pragma once

#include <string>
#include <vector>

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // RGBA rows, top row first
};

// Writes the image; returns false with *error set on failure.
bool WritePng(const std::string& path, const RgbaImage& image, std::string* error);

// Reads any PNG, converted to 8-bit RGBA; returns false with *error set on failure.
bool ReadPng(const std::string& path, RgbaImage* image, std::string* error);
