// libFuzzer harness of the text mesh reader: any bytes, read into a fresh library, must neither
// read nor write outside the text or the reader's arrays, and every object the reader made must be
// gone once the caller drops the root frame (no reference kept or lost).

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/Progress.h"
#include "platform/rm/Library.h"
#include "xfile/XFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A buffer of exactly the input's size, so that a read past the end is caught.
    std::unique_ptr<char[]> text(new char[size ? size : 1]);
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(data[i]);

    rm::Ref<rm::Library> library = rm::Library::Create();
    NullProgress progress;
    std::int64_t now = 0;
    {
        rm::Ref<rm::Frame> root;
        CXFileReader reader;
        reader.SetProgress(progress);
        reader.SetClock([&now] { return now += 31; });
        reader.Load(text.get(), size, library.Get(), nullptr, &root);
        if (rm::AnimationSet* set = reader.GetAnimationSet()) set->SetTime(50.0f);
        rm::Box box;
        if (root) root->GetHierarchyBox(&box);
    }
    if (library->LiveObjectCount() != 0) __builtin_trap();
    return 0;
}
