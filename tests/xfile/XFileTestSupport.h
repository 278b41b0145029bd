#pragma once
// Reading a mesh text in a test: the library, the reader and what it built, kept together so that
// names in the reader's tables stay valid while the test looks at them.

#include <memory>
#include <string>
#include <string_view>

#include "platform/rm/Library.h"
#include "xfile/XFileReader.h"

struct ParsedXFile {
    std::string text;
    rm::Ref<rm::Library> library = rm::Library::Create();
    CXFileReader reader;
    rm::Ref<rm::Frame> root;
    bool loaded = false;
};

// Reads `text` (the whole file, header line included) with a fresh library.
std::unique_ptr<ParsedXFile> ParseXFile(std::string text);

// The header line every file starts with.
inline constexpr std::string_view kXHeader = "xof 0302txt 0064\n";

// The direct child of `frame` with that name, or null.
rm::Frame* ChildNamed(const rm::Frame* frame, std::string_view name);
// Visual i of `frame` as a mesh builder, or null.
rm::MeshBuilder* MeshOf(const rm::Frame* frame, std::size_t i = 0);
