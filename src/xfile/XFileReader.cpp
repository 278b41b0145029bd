#include "xfile/XFileReader.h"

#include "xfile/XLimits.h"
#include "xfile/XMeshReader.h"
#include "xfile/XNumber.h"
#include "xfile/XTokenizer.h"

using xfile::XTokenizer;

namespace xfile {

XFileForm FormOf(std::string_view text) {
    if (text.size() < 12 || text.substr(0, 4) != "xof ") return XFileForm::Text;
    const std::string_view form = text.substr(8, 4);
    if (form == "bin ") return XFileForm::Binary;
    if (form == "bzip" || form == "tzip") return XFileForm::Compressed;
    return XFileForm::Text;
}

std::string NotTextFormMessage(XFileForm form, const std::string& fileName) {
    const char* what = form == XFileForm::Binary ? "バイナリ形式" : "圧縮形式";
    return "\"" + fileName + "\" は" + what +
           "のメッシュファイルです。\nメッシュファイルはテキスト形式 (txt) のものだけを読み込みます。";
}

}  // namespace xfile

namespace {

// "//" and "#" start comments that run to the end of the line.
bool IsComment(std::string_view token) {
    return token.starts_with("//") || token.starts_with("#");
}

// Reads over a top-level data object this reader does not use: a word, an optional name and a
// block, or an unnamed block on its own; `first` is the token already read. Blocks inside are
// counted, comments inside are passed over. False when no block opens within two tokens, when the
// text ends inside the object or when its blocks nest deeper than kMaxNesting: nothing after it can
// be trusted, so the reading ends there.
bool SkipDataObject(XTokenizer& tokens, std::string_view first) {
    if (first == "}") return false;
    if (first != "{") {
        std::string_view t = tokens.Next();
        if (t.empty() || t == "}") return false;
        if (t != "{" && tokens.Next() != "{") return false;
    }
    int depth = 1;
    while (depth > 0) {
        const std::string_view t = tokens.Next();
        if (t.empty()) return false;
        if (t == "{") {
            if (++depth > xfile::kMaxNesting) return false;
        } else if (t == "}") {
            --depth;
        } else if (IsComment(t)) {
            tokens.SkipLine();
        }
    }
    return true;
}

}  // namespace

bool CXFileReader::Load(const char* text, std::size_t length, rm::Library* library, rm::Frame* parent,
                        rm::Ref<rm::Frame>* outRoot) {
    if (!library) return false;
    m_form = xfile::FormOf(std::string_view(text ? text : "", text ? length : 0));
    if (m_form != xfile::XFileForm::Text) return false;
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
        if (t == "Frame") {
            ReadFrame(tokens, m_root.Get());
        } else if (t == "AnimationSet") {
            m_animationSet = m_library->CreateAnimationSet();
            if (m_animationSet) xfile::ReadAnimationSet(tokens, *m_library, *m_animationSet, m_frames);
        } else if (t == "Material") {
            ReadTopLevelMaterial(tokens);
        } else if (IsComment(t)) {
            tokens.SkipLine();
        } else if (t == "Mesh") {
            m_meshBuilder = ReadMesh(tokens);
            if (m_meshBuilder) m_root->AddVisual(m_meshBuilder.Get());
        } else {
            const XTokenizer before = tokens;
            if (SkipDataObject(tokens, t)) continue;
            if (t != "template" && t != "Header") return;
            // A template or header that is not one well-formed block (a brace written against its
            // first value, "Header {1;"): up to and including the next "}", as the part files were
            // always read.
            tokens = before;
            for (std::string_view s = tokens.Next(); !s.empty() && s != "}"; s = tokens.Next()) {
            }
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
