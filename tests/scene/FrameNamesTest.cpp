// Frame names: normalisation, the search by normalised name and the unique suffixes.

#include <gtest/gtest.h>

#include "platform/rm/Library.h"
#include "scene/FrameNames.h"
#include "support/CaseNames.h"

namespace {

struct NormaliseCase {
    const char* name;
    const char* normalised;
};

void PrintTo(const NormaliseCase& c, std::ostream* os) { *os << testsupport::Printable(c.name); }

class NormaliseFrameName : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseFrameName, CutsTheSuffixThenThePrefixes) {
    EXPECT_EQ(scene::NormaliseFrameName(GetParam().name), GetParam().normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NormaliseFrameName,
    ::testing::Values(NormaliseCase{"ARM_L@0003", "ARM_L"}, NormaliseCase{"FRM-arm_l@0012", "arm_l"},
                      NormaliseCase{"X3DS_FRM-HEAD", "HEAD"}, NormaliseCase{"X3DS_HEAD@1@2", "HEAD"},
                      NormaliseCase{"FRM-X3DS_HEAD", "X3DS_HEAD"},  // prefixes in this order only
                      NormaliseCase{"frm-head", "frm-head"},        // exact case for prefixes
                      NormaliseCase{"@0001", ""}, NormaliseCase{"", ""},
                      // "@" (0x40) as the second byte of a two-byte character is no cut
                      NormaliseCase{"\x83\x40X@12", "\x83\x40X"}),
    testsupport::PrintedName());

class FrameSearch : public ::testing::Test {
  protected:
    rm::Ref<rm::Frame> Named(rm::Frame* parent, const std::string& name) {
        rm::Ref<rm::Frame> f = library->CreateFrame(parent);
        f->SetName(name);
        return f;
    }
    rm::Ref<rm::Library> library = rm::Library::Create();
};

TEST_F(FrameSearch, FindsTheFirstNormalisedMatchDepthFirst) {
    auto root = Named(nullptr, "root");
    auto a = Named(root.Get(), "A");
    auto deep = Named(a.Get(), "FRM-arm_l@0012");
    auto b = Named(root.Get(), "ARM_L@0099");
    EXPECT_EQ(FindFrameByName("ARM_L@0003", root.Get()).Get(), deep.Get());  // pre-order: A's subtree first
    EXPECT_EQ(FindFrameByName("x3ds_root", root.Get()), nullptr);            // prefix needs exact case
    EXPECT_EQ(FindFrameByName("ROOT", root.Get()).Get(), root.Get());        // the start frame itself counts
    EXPECT_EQ(FindFrameByName("ARM_L", b.Get()).Get(), b.Get());
    EXPECT_EQ(FindFrameByName("nothing", root.Get()), nullptr);
    EXPECT_EQ(FindFrameByName("root", nullptr), nullptr);
}

TEST_F(FrameSearch, ANameTooLongToReadCountsAsQuestionMark) {
    auto root = Named(nullptr, std::string(300, 'N'));
    EXPECT_EQ(FindFrameByName("?", root.Get()).Get(), root.Get());
    EXPECT_EQ(FindFrameByName(std::string(300, 'N'), root.Get()), nullptr);
}

TEST_F(FrameSearch, UniqueNamesTakeTheCounterAndKeepExistingSuffixes) {
    auto root = Named(nullptr, "top");
    auto body = Named(root.Get(), "BODY");
    auto arm = Named(body.Get(), "ARM");
    auto done = Named(root.Get(), "HEAD@0042");
    scene::SetFrameNameCounter(9999);
    MakeFrameNamesUnique(root.Get(), 0x1230);
    EXPECT_EQ(root->GetName(), "top");
    EXPECT_EQ(body->GetName(), "BODY@9999");
    EXPECT_EQ(arm->GetName(), "ARM@10000");  // parents before children, five digits past 9999
    EXPECT_EQ(done->GetName(), "HEAD@0042");
    EXPECT_EQ(scene::FrameNameCounter(), 10001u);
    EXPECT_EQ(arm->GetAppData(), 0x1230u);
    EXPECT_EQ(done->GetAppData(), 0x1230u);
    EXPECT_EQ(root->GetAppData(), 0u);
    EXPECT_EQ(scene::FrameNameSuffix(7), "@0007");
}

}  // namespace
