#pragma once
// The offscreen render: a 32-bit system-memory surface of the output size (twice the size in each
// direction with antialiasing), the software device found by name, a viewport through the given
// camera with the view's clipping, field and shading, the background picture stretched behind,
// the scene drawn once, and the pixels written as a 24-bit BMP file, or a PNG file when the output's
// name ends in ".png".
//
// Everything it needs comes in the request, so the edit view and the command line render the same
// way. It shows no message: the caller reports failure with the one render failure message.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "platform/rm/Device.h"
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

// The render pipeline and the buffers it keeps: the supersampled target surface, its device (with
// the depth buffer and the rasteriser's lists) and the file block stay from one render to the next
// while the size stays the same, so that a batch of renders in one process, or the render command
// run again, neither allocates them anew nor faults in fresh pages. What it keeps is bounded:
// buffers that take more than the bound (kKeptBytes unless told) are given back after their render.
//
// The process has one (Shared), used by RenderToFile and RenderToBmp from the thread that renders:
// the GUI thread, or the command line's. The rasteriser's own threads never see it.
class RenderPipeline {
  public:
    // The largest preset, 1600 × 1200 antialiased, keeps its 3200 × 2400 target, depth buffer and file
    // (about 73 MB); larger renders give theirs back.
    static constexpr std::size_t kKeptBytes = std::size_t{96} << 20;

    static RenderPipeline& Shared();

    explicit RenderPipeline(std::size_t keptBytes = kKeptBytes) : m_bound(keptBytes) {}

    // Renders and builds the BMP file's bytes in the kept block; empty on failure. The bytes stay
    // valid until the next render or Release.
    std::span<const std::uint8_t> RenderBmp(const RenderRequest& request);
    // Gives back everything kept; GiveBackOverBound only when it takes more than the bound.
    void Release();
    void GiveBackOverBound();
    // What is kept now: the target surface (null when none) and the bytes of all kept buffers.
    const surface::Surface* KeptTarget() const { return m_target.Get(); }
    std::size_t KeptBytes() const;

  private:
    bool Prepare(const RenderRequest& request, std::uint32_t width, std::uint32_t height);

    std::size_t m_bound;
    surface::Ref<surface::Surface> m_target;
    rm::Ref<rm::Device> m_device;
    std::vector<std::uint8_t> m_file;
};

RenderOutcome RenderToFile(const RenderRequest& request);
// The same render, giving the BMP file's bytes instead of writing them (empty on failure).
std::vector<std::uint8_t> RenderToBmp(const RenderRequest& request);

// The message shown, with the caption, when a render fails (one text for every cause).
inline constexpr const char* kRenderFailedCaption = "レンダリングに失敗しました";
inline constexpr const char* kRenderFailedText =
    "処理に必要なリソースが確保できません。\nメモリが不足している可能性があります。\n\n"
    "・同時に起動している他のアプリケーションを終了してください。\n"
    "・レンダリングサイズを小さくするか、アンチエイリアシングオプションを外してください。";
