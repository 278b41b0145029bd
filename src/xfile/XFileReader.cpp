#include "xfile/XFileReader.h"

#include "xfile/XLimits.h"
#include "xfile/XMeshReader.h"
#include "xfile/XNumber.h"
#include "xfile/XTokenizer.h"

using xfile::XTokenizer;

bool CXFileReader::Load(const char* text, std::size_t length, rm::Library* library, rm::Frame* parent,
                        rm::Ref<rm::Frame>* outRoot) {
    if (!library) return false;
    m_library.Reset(library);
    m_root = library->CreateFrame(parent);
    if (!m_root) return false;
    if (outRoot) *outRoot = m_root;
    if (length == 0 || !text) return false;

    xfile::XProgressMeter meter(m_progress, length, m_clock);
    meter.Start();
    m_frames.clear();
    m_materials.clear();
    XTokenizer tokens(std::string_view(text, length), &meter);
    tokens.SkipLine();  // "xof 0302txt 0064"
    ReadTopLevel(tokens);
    return true;
}

void CXFileReader::ReadTopLevel(XTokenizer& tokens) {
    for (;;) {
        const std::string_view t = tokens.Next();
        if (t.empty()) return;
        if (t == "template" || t == "Header") {
            // Up to and including the next "}"; nesting is not counted.
            for (std::string_view s = tokens.Next(); !s.empty() && s != "}"; s = tokens.Next()) {
            }
        } else if (t == "Frame") {
            ReadFrame(tokens, m_root.Get());
        } else if (t == "AnimationSet") {
            m_animationSet = m_library->CreateAnimationSet();
            if (m_animationSet) xfile::ReadAnimationSet(tokens, *m_library, *m_animationSet, m_frames);
        } else if (t == "Material") {
            ReadTopLevelMaterial(tokens);
        } else if (t == "//") {
            tokens.SkipLine();
        } else if (t == "Mesh") {
            m_meshBuilder = ReadMesh(tokens);
            if (m_meshBuilder) m_root->AddVisual(m_meshBuilder.Get());
        } else {
            return;
        }
    }
}

void CXFileReader::ReadTopLevelMaterial(XTokenizer& tokens) {
    xfile::XMaterialEntry entry;
    if (!xfile::ReadMaterial(tokens, *m_library, &entry)) {
        tokens.Recover(1);
        return;
    }
    if (m_materials.size() < xfile::kMaxMaterials) m_materials.push_back(std::move(entry));
}

rm::Ref<rm::MeshBuilder> CXFileReader::ReadMesh(XTokenizer& tokens) {
    return xfile::XMeshReader(tokens, *m_library, m_materials).Read();
}

void CXFileReader::ReadFrame(XTokenizer& tokens, rm::Frame* parent) {
    std::string_view name = tokens.Next();
    if (name != "{") {
        tokens.Skip();  // "{"
    } else {
        name = {};  // an unnamed frame
    }
    if (m_frames.size() >= xfile::kMaxFrames) {
        tokens.SkipBlock(1);
        return;
    }
    rm::Ref<rm::Frame> frame = m_library->CreateFrame(parent);
    if (!frame) {
        tokens.SkipBlock(1);
        return;
    }
    if (!name.empty()) frame->SetName(name);
    m_frames.push_back({name, frame});

    for (;;) {
        const std::string_view t = tokens.Next();
        if (t.empty() || t == "}") return;
        if (t == "FrameTransformMatrix") {
            ReadFrameTransform(tokens, *frame);
        } else if (t == "Mesh") {
            rm::Ref<rm::MeshBuilder> mesh = ReadMesh(tokens);
            if (mesh) frame->AddVisual(mesh.Get());
        } else if (t == "Frame") {
            ReadFrame(tokens, frame.Get());
        } else if (t == "{") {
            tokens.SkipBlock(1);  // a block this reader does not know, read over whole
        }
    }
}

void CXFileReader::ReadFrameTransform(XTokenizer& tokens, rm::Frame& frame) {
    tokens.Skip();  // "{"
    rm::Matrix4 m;
    for (auto& row : m.m)
        for (float& v : row) v = xfile::ToFloat(tokens.ReadReal());
    if (tokens.Mismatch()) {
        tokens.Recover(1);  // an incomplete matrix is not applied
        return;
    }
    frame.AddTransform(rm::D3DRMCOMBINE_REPLACE, m);
    tokens.Skip();  // "}"
}
