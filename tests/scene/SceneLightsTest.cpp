// The five scene lights of a pose set.

#include <gtest/gtest.h>

#include <QFile>

#include "SceneFixture.h"
#include "scene/FrameNames.h"

namespace {

TEST_F(SceneTest, APoseSetBringsFiveLightsWithHiddenMarkers) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    struct Expected {
        const char* name;
        rm::LightType type;
        std::uint32_t color;
        const char* marker;
    };
    const Expected expected[] = {
        {"LIGHTOBJECT@0", rm::D3DRMLIGHT_AMBIENT, 0xFF363636, nullptr},
        {"LIGHTOBJECT@1", rm::D3DRMLIGHT_POINT, 0xFF888888, "LIGHT1\\POINT.X"},
        {"LIGHTOBJECT@2", rm::D3DRMLIGHT_POINT, 0xFF000000, "LIGHT2\\POINT.X"},
        {"LIGHTOBJECT@3", rm::D3DRMLIGHT_POINT, 0xFF000000, "LIGHT3\\POINT.X"},
        {"LIGHTOBJECT@4", rm::D3DRMLIGHT_DIRECTIONAL, 0xFF444444, "LIGHT4\\arrow.x"},
    };
    for (const Expected& e : expected) {
        auto light = rm::RefCast<rm::Light>(library->GetNamedObject(e.name));
        ASSERT_NE(light, nullptr) << e.name;
        EXPECT_EQ(light->GetType(), e.type) << e.name;
        EXPECT_EQ(light->GetColor(), e.color) << e.name;
        if (!e.marker) {
            // The scene's, not the figure's: it stays when figures come and go.
            EXPECT_EQ(doc->GetSceneFrame()->Lights().size(), 1u);
            continue;
        }
        CPartObject* marker = doc->FindPartByFolder(e.marker);
        ASSERT_NE(marker, nullptr) << e.marker;
        ASSERT_EQ(marker->GetFrame()->Lights().size(), 1u);
        EXPECT_EQ(marker->GetFrame()->Lights()[0].Get(), light.Get());
        EXPECT_FALSE(marker->IsVisible());
        EXPECT_TRUE(marker->GetFrame()->Visuals().empty());  // no geometry until chosen for editing
        EXPECT_EQ(marker->GetFrame()->Parent(), doc->GetSceneFrame());
    }
    rm::Vector p, dir, up;
    for (const char* marker : {"LIGHT4\\arrow.x", "LIGHT2\\POINT.X"})
        ASSERT_NE(doc->FindPartByFolder(marker), nullptr) << marker;
    rm::Frame* sun = doc->FindPartByFolder("LIGHT4\\arrow.x")->GetFrame();
    sun->GetPosition(doc->GetCharacterRootFrame(), &p);
    EXPECT_NEAR(p.x, -4.101194f, 1e-4f);
    EXPECT_NEAR(p.z, -5.596172f, 1e-4f);
    sun->GetOrientation(doc->GetCharacterRootFrame(), &dir, &up);
    EXPECT_NEAR(dir.y, -0.699985f, 1e-4f);
    doc->FindPartByFolder("LIGHT2\\POINT.X")->GetFrame()->GetPosition(doc->GetCharacterRootFrame(), &p);
    EXPECT_NEAR(p.y, 10.609517f, 1e-4f);

    // Tree: images 10 and 12, check marks removed.
    int image = 0, selected = 0;
    tree.GetItemImage(ItemLabelled("太陽光"), image, selected);
    EXPECT_EQ(image, 10);
    EXPECT_EQ(selected, 10);
    tree.GetItemImage(ItemLabelled("点光源２"), image, selected);
    EXPECT_EQ(image, 12);
    for (const char* label : {"太陽光", "点光源１", "点光源２", "点光源３"})
        EXPECT_FALSE(tree.GetCheck(ItemLabelled(label))) << label;
    EXPECT_TRUE(tree.GetCheck(ItemLabelled("体")));
}

TEST_F(SceneTest, AMissingMarkerLeavesOnlyItsLightOut) {
    QFile::remove(QString::fromStdString(DataFolder() + "LIGHT2/POINT.X"));
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    EXPECT_EQ(prompts->MessageTexts(),
              (std::vector<std::string>{"データブロック\"LIGHT2\\POINT.X\"が見つかりません。"}));
    EXPECT_EQ(library->GetNamedObject("LIGHTOBJECT@2"), nullptr);
    for (const char* name : {"LIGHTOBJECT@0", "LIGHTOBJECT@1", "LIGHTOBJECT@3", "LIGHTOBJECT@4"})
        EXPECT_NE(library->GetNamedObject(name), nullptr) << name;
}

}  // namespace
