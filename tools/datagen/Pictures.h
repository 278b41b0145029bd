#pragma once
// The pictures beside the executable: eye textures (24-bit BMP, the texture fills the eye oval,
// v growing downwards) and background pictures (JPEG, 640 x 480), and the encoders that write them
// byte-for-byte the same on every run.

#include <QImage>
#include <string>

namespace datagen {

// An eye: white, an iris of the given colour with a pupil and a highlight, the lash line on top.
QImage EyeTexture(QRgb iris, int size = 128);

// Background pictures by number: 0 sky and meadow, 1 room, 2 evening sea, 3 studio.
QImage Background(int which);

// Uncompressed 24-bit BMP file bytes (bottom-up rows padded to 4 bytes).
std::string EncodeBmp24(const QImage& image);
// Baseline JPEG file bytes.
std::string EncodeJpeg(const QImage& image, int quality = 90);

}  // namespace datagen
