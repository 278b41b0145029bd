#pragma once
// The offscreen render: a 32-bit system-memory surface of the output size (twice the size in each
// direction with antialiasing), the software device found by name, a viewport through the given
// camera with the view's clipping, field and shading, the background picture stretched behind,
// the scene drawn once, and the pixels written as a 24-bit BMP file, or a PNG file when the output's
// name ends in ".png".
//
// Everything it needs comes in the request, so the edit view and the command line render the same
// way. It shows no message: the caller reports failure with the one render failure message.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "platform/rm/Frame.h"
#include "platform/rm/Library.h"
#include "platform/surface/DirectDraw.h"

class CSettingsStore;

struct RenderRequest {
    surface::DirectDraw* directDraw = nullptr;
    rm::Library* library = nullptr;
    rm::Frame* camera = nullptr;     // the viewport's camera
    rm::Frame* viewRoot = nullptr;   // the frame that holds the camera; the scene hangs here for one Render
    rm::Frame* sceneRoot = nullptr;  // the document's root frame
    const CSettingsStore* settings = nullptr;
    std::string documentTitle;
    ProgressSink* progress = nullptr;  // may be null
};

enum class RenderOutcome { Written, Failed };

// Device quality for the display mode setting (`dev`/`mode`).
std::uint32_t QualityForDisplayMode(int mode);

RenderOutcome RenderToFile(const RenderRequest& request);
// The same render, giving the BMP file's bytes instead of writing them (empty on failure).
std::vector<std::uint8_t> RenderToBmp(const RenderRequest& request);

// The message shown, with the caption, when a render fails (one text for every cause).
inline constexpr const char* kRenderFailedCaption = "レンダリングに失敗しました";
inline constexpr const char* kRenderFailedText =
    "処理に必要なリソースが確保できません。\nメモリが不足している可能性があります。\n\n"
    "・同時に起動している他のアプリケーションを終了してください。\n"
    "・レンダリングサイズを小さくするか、アンチエイリアシングオプションを外してください。";
