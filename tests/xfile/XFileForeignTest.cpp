// Mesh files as modelling tools write them: top-level objects the reader does not use are read over
// whole and reading goes on; binary and compressed files are refused before anything is built.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "XFileTestSupport.h"
#include "xfile/XLimits.h"

namespace {

std::string ReadFixture(const std::string& name) {
    std::ifstream in(std::string(MARISOLE_XFILE_FIXTURES) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Templates, Header, AnimTicksPerSecond, KeyValuePair, a named object with nested blocks (one
// brace in a comment), an unnamed block, then two frames with a mesh each.
TEST(XFileForeign, ExporterFileGivesBothFramesWithTheirMeshes) {
    const std::string text = ReadFixture("exporter.x");
    ASSERT_FALSE(text.empty());
    auto p = ParseXFile(text);
    ASSERT_TRUE(p->loaded);
    ASSERT_EQ(p->reader.Frames().size(), 2u);  // "template Frame" made no frame
    struct Row {
        const char* frame;
        std::uint32_t faces;
        rm::Vector first, last;
    } rows[] = {
        {"Body", 6, {-1, 0, -1}, {1, 4, 1}},
        {"Base", 12, {-2, -1, -2}, {2, 0, 2}},
    };
    for (const Row& r : rows) {
        rm::MeshBuilder* mesh = MeshOf(ChildNamed(p->root.Get(), r.frame));
        ASSERT_NE(mesh, nullptr) << r.frame;
        EXPECT_EQ(mesh->GetFaceCount(), r.faces) << r.frame;
        EXPECT_EQ(mesh->GetVertexCount(), 8u) << r.frame;
        EXPECT_EQ(mesh->Vertices().front(), r.first) << r.frame;
        EXPECT_EQ(mesh->Vertices().back(), r.last) << r.frame;
    }
}


TEST(XFileForeign, TopLevelObjectsAreReadOverWholeOrEndTheReading) {
    std::string deepAtLimit = "Deep ", deepPastLimit = "Deep ";
    for (int i = 0; i < xfile::kMaxNesting; ++i) deepAtLimit += "{ ";
    for (int i = 0; i < xfile::kMaxNesting; ++i) deepAtLimit += "} ";
    for (int i = 0; i <= xfile::kMaxNesting; ++i) deepPastLimit += "{ ";
    for (int i = 0; i <= xfile::kMaxNesting; ++i) deepPastLimit += "} ";
    struct Row {
        std::string before;
        bool readOn;  // the frame after it is made
    } rows[] = {
        {"Header {\n 1;\n 0;\n 1;\n}\n", true},
        {"Header {1;\n0;\n1;}\n", true},  // a brace against a value: up to the next "}"
        {"template Mesh {\n <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n DWORD nVertices;\n [...]\n}\n", true},
        {"template Frame {\n [...]\n}\n", true},
        {"AnimTicksPerSecond {\n 4800;\n}\n", true},
        {"KeyValuePair {\n \"key\";\n \"value\";\n}\n", true},
        {"Custom named {\n Inner {\n  Frame Hidden {\n  }\n  { Hidden }\n }\n}\n", true},
        {"{\n unnamed;\n}\n", true},
        {"Custom {\n // a comment }\n # another }\n}\n", true},
        {"# a comment {\n", true},
        {"//a comment {\n", true},
        {deepAtLimit + "\n", true},
        {deepPastLimit + "\n", false},
        {"Word Word Word {\n}\n", false},  // no block within two tokens: not an object
        {"}\n", false},
        {"Unclosed {\n Frame Hidden {\n }\n", false},
    };
    for (const Row& r : rows) {
        auto p = ParseXFile(std::string(kXHeader) + "Frame Before {\n}\n" + r.before + "Frame After {\n}\n");
        EXPECT_TRUE(p->loaded) << r.before;
        EXPECT_NE(ChildNamed(p->root.Get(), "Before"), nullptr) << r.before;
        EXPECT_EQ(ChildNamed(p->root.Get(), "After") != nullptr, r.readOn) << r.before;
        EXPECT_EQ(p->reader.Frames().size(), r.readOn ? 2u : 1u) << r.before;
    }
}

TEST(XFileForeign, BinaryAndCompressedFilesAreRefusedBeforeAnythingIsBuilt) {
    struct Row {
        std::string header;
        xfile::XFileForm form;
    } rows[] = {
        {"xof 0302bin 0032", xfile::XFileForm::Binary},
        {"xof 0303bin 0064", xfile::XFileForm::Binary},
        {"xof 0303bzip0032", xfile::XFileForm::Compressed},
        {"xof 0302tzip0064", xfile::XFileForm::Compressed},
        {"xof 0302txt 0064", xfile::XFileForm::Text},
        {"xof 0303txt 0032", xfile::XFileForm::Text},
        {"xof 0302", xfile::XFileForm::Text},  // too short to say: read as text
        {"mesh bin file", xfile::XFileForm::Text},
    };
    for (const Row& r : rows) {
        const std::string text = r.header + "\nFrame Body {\n}\n";
        auto library = rm::Library::Create();
        rm::Ref<rm::Frame> parent = library->CreateFrame(nullptr);
        rm::Ref<rm::Frame> root;
        CXFileReader reader;
        const bool loaded = reader.Load(text.data(), text.size(), library.Get(), parent.Get(), &root);
        EXPECT_EQ(reader.Form(), r.form) << r.header;
        EXPECT_EQ(xfile::FormOf(text), r.form) << r.header;
        const bool isText = r.form == xfile::XFileForm::Text;
        EXPECT_EQ(loaded, isText) << r.header;
        EXPECT_EQ(root != nullptr, isText) << r.header;
        EXPECT_EQ(parent->Children().size(), isText ? 1u : 0u) << r.header;
        EXPECT_EQ(reader.Frames().size(), isText ? 1u : 0u) << r.header;
    }
}

TEST(XFileForeign, RefusalMessageNamesTheFileAndTheTextForm) {
    for (const auto form : {xfile::XFileForm::Binary, xfile::XFileForm::Compressed}) {
        const std::string message = xfile::NotTextFormMessage(form, "/home/me/ロボ.x");
        EXPECT_NE(message.find("/home/me/ロボ.x"), std::string::npos);
        EXPECT_NE(message.find("テキスト形式"), std::string::npos);
        EXPECT_NE(message.find(form == xfile::XFileForm::Binary ? "バイナリ" : "圧縮"), std::string::npos);
    }
}

}  // namespace
