#pragma once
// The colours of the five scene lights, read from and written to the scene itself: the ambient
// light (index 0), three point lights (1–3) and the sun (4), named "LIGHTOBJECT@<index>". Each
// light but the ambient one has a marker part (folder "LIGHT<index>\") whose "IRO" frame shows the
// light's colour as its emissive colour.
//
// Colours here are COLORREF values 0x00BBGGRR; the lights hold 0xAARRGGBB.

#include <cstdint>

inline constexpr int kLightCount = 5;

// COLORREF and 0x00RRGGBB into each other (red and blue swap, the top byte goes).
constexpr std::uint32_t SwapRedBlue(std::uint32_t c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The light's colour (black when the scene has no such light); the marker is recoloured to it.
std::uint32_t GetLightColour(int index);
// Sets the light's colour (when it exists) and recolours its marker.
void SetLightColour(int index, std::uint32_t colorRef);
// Gives the meshes of the marker's "IRO" frame an emissive material of the colour (power 1000, no
// highlight). A hidden marker is shown for the time it takes, so it carries the colour when it is
// shown later. Nothing without a document or a marker.
void SetMarkerColour(int index, std::uint32_t colorRef);
