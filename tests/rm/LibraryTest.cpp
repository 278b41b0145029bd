// Library object: names, counted lifetimes, vectors, device enumeration, mesh face data.

#include <gtest/gtest.h>

#include <cmath>

#include "RmTestUtil.h"
#include "platform/rm/DeviceObjects.h"
#include "platform/rm/DeviceTable.h"
#include "platform/rm/Library.h"
#include "platform/rm/VectorMath.h"

using namespace rm;

namespace {

TEST(LibraryTest, GetNamedObjectFindsLiveObjectsOnly) {
    Ref<Library> lib = Library::Create();
    Ref<Frame> a = lib->CreateFrame(nullptr);
    a->SetName("X@0001");
    EXPECT_EQ(lib->GetNamedObject("X@0001").Get(), a.Get());
    EXPECT_FALSE(lib->GetNamedObject("x@0001"));  // exact bytes
    a = nullptr;
    EXPECT_FALSE(lib->GetNamedObject("X@0001"));
    EXPECT_EQ(lib->LiveObjectCount(), 0u);
}

TEST(LibraryTest, SharedNameFindsTheOneNamedLast) {
    Ref<Library> lib = Library::Create();
    Ref<Frame> a = lib->CreateFrame(nullptr);
    Ref<Material> b = lib->CreateMaterial(5);
    Ref<Light> c = lib->CreateLight(D3DRMLIGHT_AMBIENT, 0);
    b->SetName("same");
    a->SetName("same");
    c->SetName("other");
    EXPECT_EQ(lib->GetNamedObject("same").Get(), a.Get());
    a->SetName("renamed");
    EXPECT_EQ(lib->GetNamedObject("same").Get(), b.Get());
    b = nullptr;
    EXPECT_FALSE(lib->GetNamedObject("same"));
    EXPECT_TRUE(RefCast<Light>(lib->GetNamedObject("other")));
    EXPECT_FALSE(RefCast<Frame>(lib->GetNamedObject("other")));
}

TEST(LibraryTest, ObjectsMayOutliveTheLibrary) {
    Ref<Library> lib = Library::Create();
    Ref<Frame> f = lib->CreateFrame(nullptr);
    lib = nullptr;
    f->SetName("still fine");
    EXPECT_EQ(f->GetName(), "still fine");
}

TEST(LibraryTest, GetNameCopiesWithItsTerminator) {
    Ref<Library> lib = Library::Create();
    Ref<Frame> f = lib->CreateFrame(nullptr);
    f->SetName("abc");
    std::uint32_t size = 0;
    ASSERT_EQ(f->GetName(&size, nullptr), D3DRM_OK);
    EXPECT_EQ(size, 4u);
    char small[3];
    size = 3;
    EXPECT_NE(f->GetName(&size, small), D3DRM_OK);
    char buf[256];
    size = sizeof buf;
    ASSERT_EQ(f->GetName(&size, buf), D3DRM_OK);
    EXPECT_STREQ(buf, "abc");
}

TEST(LibraryTest, LightColourForcesAlpha) {
    Ref<Library> lib = Library::Create();
    Ref<Light> l = lib->CreateLight(D3DRMLIGHT_DIRECTIONAL, 0x00444444);
    EXPECT_EQ(l->GetColor(), 0xFF444444u);
    l->SetColor(0x12345678);
    EXPECT_EQ(l->GetColor(), 0xFF345678u);
    l->SetColorRGB(1.0f, 0.5f, 0.0f);
    EXPECT_EQ(l->GetColor(), 0xFFFF8000u);
}

TEST(LibraryTest, MaterialDefaults) {
    Ref<Library> lib = Library::Create();
    Ref<Material> m = lib->CreateMaterial(12.5f);
    EXPECT_EQ(m->GetPower(), 12.5f);
    EXPECT_EQ(m->Specular(), (Vector{1, 1, 1}));
    EXPECT_EQ(m->Emissive(), (Vector{0, 0, 0}));
}

TEST(VectorFunctionsTest, AddSubtractModulusNormalize) {
    Vector a{1, 2, 3}, b{4, -6, 8}, d;
    EXPECT_EQ(*D3DRMVectorAdd(&d, &a, &b), (Vector{5, -4, 11}));
    EXPECT_EQ(*D3DRMVectorSubtract(&d, &a, &b), (Vector{-3, 8, -5}));
    Vector v{3, 4, 12};
    EXPECT_FLOAT_EQ(D3DRMVectorModulus(&v), 13.0f);
    D3DRMVectorNormalize(&v);
    rmtest::ExpectNear(v, {3.0f / 13, 4.0f / 13, 12.0f / 13}, 1e-7f);
    Vector zero{};
    D3DRMVectorNormalize(&zero);
    EXPECT_EQ(zero, (Vector{1, 0, 0}));
}

TEST(MeshBuilderTest, FaceDataRoundTripsThroughGetVertices) {
    Ref<Library> lib = Library::Create();
    Ref<MeshBuilder> mesh = lib->CreateMeshBuilder();
    const Vector v[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const Vector n[] = {{0, 0, -1}, {0, 0, 1}};
    const std::uint32_t faces[] = {4, 0, 0, 3, 0, 2, 1, 1, 1, 3, 0, 0, 2, 1, 1, 1, 0};
    ObjectArray<Face> added;
    ASSERT_EQ(mesh->AddFaces(v, n, faces, &added), D3DRM_OK);
    ASSERT_EQ(added.GetSize(), 2u);
    EXPECT_EQ(added.GetElement(0)->GetVertexCount(), 4u);
    std::uint32_t vc = 0, nc = 0, fc = 0;
    ASSERT_EQ(mesh->GetVertices(&vc, nullptr, &nc, nullptr, &fc, nullptr), D3DRM_OK);
    EXPECT_EQ(vc, 4u);
    EXPECT_EQ(nc, 2u);
    EXPECT_EQ(fc, std::size(faces));
    std::vector<Vector> vv(vc), nn(nc);
    std::vector<std::uint32_t> ff(fc);
    ASSERT_EQ(mesh->GetVertices(&vc, vv.data(), &nc, nn.data(), &fc, ff.data()), D3DRM_OK);
    EXPECT_EQ(ff, std::vector<std::uint32_t>(std::begin(faces), std::end(faces)));
    EXPECT_EQ(vv[2], v[2]);
    fc = 3;
    EXPECT_NE(mesh->GetVertices(&vc, vv.data(), &nc, nn.data(), &fc, ff.data()), D3DRM_OK);
    // A second call appends; indices are relative to its own arrays.
    const std::uint32_t tri[] = {3, 0, 0, 1, 0, 2, 0, 0};
    ASSERT_EQ(mesh->AddFaces(std::span(v, 3), std::span(n, 1), tri), D3DRM_OK);
    EXPECT_EQ(mesh->FaceData()[std::size(faces) - 1], 3u);
    EXPECT_EQ(mesh->FaceData()[std::size(faces)], 4u);  // vertex 0 of the second call is vertex 4
}

TEST(MeshBuilderTest, BadFaceDataIsRefusedAsAWhole) {
    Ref<Library> lib = Library::Create();
    Ref<MeshBuilder> mesh = lib->CreateMeshBuilder();
    const Vector v[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    const Vector n[] = {{0, 0, -1}};
    const std::vector<std::vector<std::uint32_t>> bad = {
        {3, 0, 0, 1, 0, 3, 0, 0},           // vertex index out of range
        {3, 0, 0, 1, 1, 2, 0, 0},           // normal index out of range
        {2, 0, 0, 1, 0, 0},                 // fewer than three corners
        {3, 0, 0, 1, 0, 2, 0, 4, 0, 0, 1},  // data ends inside the second face
        {0xFFFFFFFF, 0, 0},                 // absurd count
    };
    for (const auto& f : bad) EXPECT_NE(mesh->AddFaces(v, n, f), D3DRM_OK);
    EXPECT_EQ(mesh->GetFaceCount(), 0u);
    EXPECT_EQ(mesh->GetVertexCount(), 0u);
}

TEST(MeshBuilderTest, SetNormalColourMaterialAndBox) {
    Ref<Library> lib = Library::Create();
    Ref<MeshBuilder> mesh = lib->CreateMeshBuilder();
    const Vector v[] = {{-1, 0, 2}, {1, 5, 0}, {0, -3, 1}};
    const Vector n[] = {{0, 0, -1}};
    const std::uint32_t f[] = {3, 0, 0, 1, 0, 2, 0, 0};
    ObjectArray<Face> faces;
    mesh->AddFaces(v, n, f, &faces);
    EXPECT_EQ(mesh->SetNormal(0, 0, 1, 0), D3DRM_OK);
    EXPECT_NE(mesh->SetNormal(1, 0, 1, 0), D3DRM_OK);
    EXPECT_EQ(mesh->Normals()[0], (Vector{0, 1, 0}));
    Ref<Material> m = lib->CreateMaterial(3);
    mesh->SetColor(0xFF336699);
    mesh->SetMaterial(m.Get());
    EXPECT_EQ(faces.GetElement(0)->GetColor(), 0xFF336699u);
    EXPECT_EQ(faces.GetElement(0)->MaterialPtr(), m.Get());
    faces.GetElement(0)->SetColor(0x80FF0000);
    EXPECT_EQ(mesh->GetFace(0)->GetColor(), 0x80FF0000u);
    Box b;
    ASSERT_EQ(mesh->GetBox(&b), D3DRM_OK);
    EXPECT_EQ(b.min, (Vector{-1, -3, 0}));
    EXPECT_EQ(b.max, (Vector{1, 5, 2}));
}

TEST(MeshBuilderTest, FacesKeepTheRenderRecordsCurrentAndMayOutliveTheirMesh) {
    Ref<Library> lib = Library::Create();
    Ref<MeshBuilder> mesh = lib->CreateMeshBuilder();
    const Vector v[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    const std::uint32_t f[] = {3, 0, 0, 1, 0, 2, 0, 0};
    ObjectArray<Face> faces;
    mesh->AddFaces(v, {}, f, &faces);
    Ref<Face> face = faces.GetElement(0);
    Ref<Material> m = lib->CreateMaterial(2);
    face->SetColor(0x80123456);
    face->SetMaterial(m.Get());
    ASSERT_EQ(mesh->FaceRecords().size(), 1u);
    EXPECT_EQ(mesh->FaceRecords()[0].color, 0x80123456u);
    EXPECT_EQ(mesh->FaceRecords()[0].material, m.Get());
    EXPECT_EQ(mesh->FaceRecords()[0].cornerCount, 3u);
    faces = {};
    mesh = nullptr;
    face->SetColor(0xFF000000);  // the mesh is gone: only the face changes
    EXPECT_EQ(face->GetColor(), 0xFF000000u);
}

TEST(DeviceTableTest, EnumerationListsTheSoftwareRasteriser) {
    Ref<Library> lib = Library::Create();
    DeviceTable table;
    table.Fill(*lib);
    ASSERT_EQ(table.Count(), 1u);
    EXPECT_EQ(table.Entry(0).name, "RGB Emulation");
    // The description is our own words, whole (the table keeps 127 bytes of it) and naming no
    // other vendor's product.
    const std::string& description = table.Entry(0).description;
    EXPECT_FALSE(description.empty());
    EXPECT_LT(description.size(), 128u);
    for (const char* foreign : {"Microsoft", "Direct3D", "DirectX", "DirectDraw"})
        EXPECT_EQ(description.find(foreign), std::string::npos) << foreign;
    EXPECT_EQ(table.FindDevice("RGB E"), 0);
    EXPECT_EQ(table.FindDevice("HAL"), -1);
}

TEST(DeviceTableTest, FindDeviceTakesTheLastMatchAndTheTableHoldsSixteen) {
    DeviceTable table;
    EXPECT_EQ(table.FindDevice("RGB"), -1);
    for (int i = 0; i < 20; ++i) {
        DeviceInfo info;
        info.name = i % 2 ? "Direct3D HAL" : "RGB Emulation";
        EXPECT_EQ(table.Add(info), i < 16);
    }
    EXPECT_EQ(table.Count(), 16u);
    EXPECT_EQ(table.FindDevice("HAL"), 15);
    EXPECT_EQ(table.FindDevice("RGB E"), 14);
    EXPECT_EQ(table.FindDevice("Ramp"), -1);
}

TEST(DeviceObjectsTest, CreateAndRelease) {
    DeviceObjects objects;
    EXPECT_FALSE(objects.Exists());
    ASSERT_TRUE(objects.Create());
    ASSERT_NE(objects.Library3D(), nullptr);
    Ref<Frame> f = objects.Library3D()->CreateFrame(nullptr);
    objects.Release();
    EXPECT_FALSE(objects.Exists());
    EXPECT_EQ(f->GetParent(), nullptr);  // objects outlive the holder's release
}

}  // namespace
