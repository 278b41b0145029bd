#pragma once
// The reader of part mesh files in the DirectX text mesh format. It walks the text once, token by
// token, and builds retained-mode objects directly: frames with names and transforms, mesh
// builders with faces, normals, texture coordinates and per-face materials, and an animation set.
// It handles the subset and layout the part files use and interprets no templates. At the top level
// it takes frames, meshes, materials and an animation set; any other data object (templates, Header,
// AnimTicksPerSecond, KeyValuePair, named or unnamed, nested blocks included) is read over whole, so
// files of common exporters read too. Only the text form is read: a binary or compressed file (its
// header line says "bin ", "bzip" or "tzip") is refused before anything is built.
//
// One reader per file: construct, optionally SetProgress, Load once, take the results, destroy.
// The text is read in place and never written; frame and material names in the reader's tables
// point into it, so it must stay unchanged while the reader lives.
//
// Limits: 128 frames per file, 32 top-level materials, 32 materials in one mesh list, 6 corners per
// face. Past them:
// - a frame after the 128th is read over with everything inside it (its meshes and child frames
//   are not built), which also bounds how deep frames nest;
// - a top-level material after the 32nd is read but not kept; a reference to it finds nothing;
// - a mesh list material after the 32nd is read but not kept; faces naming it get colour 0 and no
//   material, like faces naming a missing material;
// - a mesh with a face of more than 6 (or fewer than 3) corners is dropped;
// - a top-level object read over whose blocks nest deeper than kMaxNesting ends the reading.
// Bad counts and indices never reach memory outside the arrays: see XMeshReader.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/Progress.h"
#include "platform/rm/Library.h"
#include "xfile/XAnimationReader.h"
#include "xfile/XMaterialReader.h"
#include "xfile/XProgressMeter.h"

namespace xfile {
class XTokenizer;

// The form a mesh file declares in its header line ("xof 0302txt 0064": bytes 8 to 11). A text
// without that header is taken as text, as the part files always were.
enum class XFileForm { Text, Binary, Compressed };
XFileForm FormOf(std::string_view text);

// The message given when a file of another form than text is refused; `fileName` is shown as given
// (UTF-8).
inline constexpr const char* kNotTextFormCaption = "メッシュファイルを読み込めません";
std::string NotTextFormMessage(XFileForm form, const std::string& fileName);
}  // namespace xfile

class CXFileReader {
  public:
    CXFileReader() = default;
    ~CXFileReader() = default;
    CXFileReader(const CXFileReader&) = delete;
    CXFileReader& operator=(const CXFileReader&) = delete;

    // The progress window to advance while reading (range 0-100, steps of 2, at most every 30 ms).
    void SetProgress(ProgressSink& progress) { m_progress = &progress; }
    // Milliseconds for the progress interval; tests pass their own clock.
    void SetClock(xfile::XProgressMeter::Clock clock) { m_clock = std::move(clock); }

    // Creates the root frame under `parent` (may be null) and reads the text into it. True when a
    // root frame was created and the text was read (content that is not understood at the top level
    // ends the reading quietly: what was built stays). False without a library, and when `length`
    // is 0 (the root frame is still created). False, with no root frame, for a binary or compressed
    // file (Form() says which). `outRoot`, when given, receives the root frame.
    bool Load(const char* text, std::size_t length, rm::Library* library, rm::Frame* parent,
              rm::Ref<rm::Frame>* outRoot);
    // The form the text of the last Load declared.
    xfile::XFileForm Form() const { return m_form; }

    // The file's animation set, null when it has none. The caller may SetTime on it.
    rm::AnimationSet* GetAnimationSet() const { return m_animationSet.Get(); }
    rm::Frame* GetRootFrame() const { return m_root.Get(); }
    // The last mesh read at the top level of the file.
    rm::MeshBuilder* GetMeshBuilder() const { return m_meshBuilder.Get(); }
    // The frame table: every frame made, in file order.
    const std::vector<xfile::XFrameEntry>& Frames() const { return m_frames; }
    // The top-level material table.
    const std::vector<xfile::XMaterialEntry>& Materials() const { return m_materials; }

  private:
    void ReadTopLevel(xfile::XTokenizer& tokens);
    void ReadFrame(xfile::XTokenizer& tokens, rm::Frame* parent);
    void ReadFrameTransform(xfile::XTokenizer& tokens, rm::Frame& frame);
    rm::Ref<rm::MeshBuilder> ReadMesh(xfile::XTokenizer& tokens);
    void ReadTopLevelMaterial(xfile::XTokenizer& tokens);

    ProgressSink* m_progress = nullptr;
    xfile::XProgressMeter::Clock m_clock;
    rm::Ref<rm::Library> m_library;
    rm::Ref<rm::Frame> m_root;
    rm::Ref<rm::MeshBuilder> m_meshBuilder;
    rm::Ref<rm::AnimationSet> m_animationSet;
    std::vector<xfile::XFrameEntry> m_frames;
    std::vector<xfile::XMaterialEntry> m_materials;
    xfile::XFileForm m_form = xfile::XFileForm::Text;
};
