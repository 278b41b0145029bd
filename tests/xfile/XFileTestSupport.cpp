#include "XFileTestSupport.h"

std::unique_ptr<ParsedXFile> ParseXFile(std::string text) {
    auto p = std::make_unique<ParsedXFile>();
    p->text = std::move(text);
    p->loaded = p->reader.Load(p->text.data(), p->text.size(), p->library.Get(), nullptr, &p->root);
    return p;
}

rm::Frame* ChildNamed(const rm::Frame* frame, std::string_view name) {
    if (!frame) return nullptr;
    for (const auto& child : frame->Children())
        if (child->GetName() == name) return child.Get();
    return nullptr;
}

rm::MeshBuilder* MeshOf(const rm::Frame* frame, std::size_t i) {
    if (!frame || i >= frame->Visuals().size()) return nullptr;
    return dynamic_cast<rm::MeshBuilder*>(frame->Visuals()[i].Get());
}
