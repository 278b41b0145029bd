#pragma once
// A small figure library in a temporary folder, read through the archive's folder source: a body
// with three variants, an arm linked to the body's ARML frame, a hand linked to the arm, the four
// light markers, an option prop, colour definitions, a pose set and the tree definitions. The
// fixture installs the library, the tree and the archive in the application object and a fresh
// document, and scripted prompts that record every message.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <string_view>

#include "archive/Communicator.h"
#include "platform/rm/Library.h"
#include "platform/win/ScriptedPrompts.h"
#include "scene/MainDoc.h"
#include "scene/PartsTree.h"

// Mesh text: a frame with an optional quad mesh at `offset` and child frames (already texts).
std::string XFrame(std::string_view name, bool withMesh, float offset = 0, std::string_view children = {});
std::string XFile(std::string_view frames);
// A UTF-8 text written as code page 932 bytes.
std::string Sjis(std::string_view utf8);

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `bytes` to `relative` ("/"-separated) under the data folder, making folders.
    void WriteData(const std::string& relative, const std::string& bytes);
    std::string DataFolder() const { return m_dir.path().toStdString() + "/data/"; }
    std::string AppFolder() const { return m_dir.path().toStdString() + "/app/"; }
    std::string TempPath(const std::string& name) const { return m_dir.path().toStdString() + "/" + name; }

    // The pose set of the fixture loaded as from the collection (character item selected); a fatal
    // failure when the body, the arm or the hand is missing afterwards, so a test calls it as
    // ASSERT_NO_FATAL_FAILURE(LoadFigure()).
    void LoadFigure();
    // The tree item with that (UTF-8) label, 0 when none.
    HTREEITEM ItemLabelled(std::string_view utf8Label) const;
    CPartObject* Part(std::string_view folder) const { return doc->FindPartByFolder(folder); }

    QTemporaryDir m_dir;
    win::ScopedPrompts prompts;
    CCommunicator archive;
    rm::Ref<rm::Library> library;
    CPartsTree tree;
    std::unique_ptr<CMainDoc> doc;
};

// Pose set and parts of the fixture.
inline constexpr char kPoseSet[] = "POSE\\P1.OBJ";
inline constexpr char kBodyPath[] = "BODY_B\\body.x";
inline constexpr char kArmPath[] = "BODY\\ARML\\arm.x";
inline constexpr char kHandPath[] = "BODY\\ARML\\HANDL\\hand.x";
