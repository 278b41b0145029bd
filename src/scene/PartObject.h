#pragma once
// One loaded part: a folder of the data archive loaded as a frame hierarchy, hanging on the link
// frame of its parent part (or on a document frame). It owns its child parts and its colour
// objects; the frames belong to the scene and are held by counted references.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rm/Frame.h"
#include "scene/ColorObject.h"
#include "scene/SceneRecords.h"

class CPartIndexTable;
class StoringArchive;

class CPartObject {
  public:
    static constexpr std::uint32_t kSerialId = scene::kPartRecordId;

    CPartObject() = default;
    // Shows the visuals, deletes the colour objects and the child parts, takes the frame out of
    // its parent frame and leaves the parent part.
    ~CPartObject();
    CPartObject(const CPartObject&) = delete;
    CPartObject& operator=(const CPartObject&) = delete;

    // Detaches the visuals of the part's frames (recorded for ShowVisuals); the walk does not go
    // below the part's link frames, so child parts keep theirs.
    void HideVisuals();
    void ShowVisuals();
    bool IsVisible() const { return m_hiddenFrames.empty(); }

    // Takes `frame` as the part's frame: its box, its leaf frames as the new link frames; child
    // parts move to the new link frames of the same names, keeping their placement there; the old
    // frame leaves its parent.
    void AdoptFrame(rm::Ref<rm::Frame> frame);
    // A new part: folder and definition path from `path`, AdoptFrame, link name and parent; with a
    // parent, the frame hangs on the parent's link frame named `linkName`. The caller hands the
    // part itself to the parent's AddChildPart.
    void AttachToParent(rm::Ref<rm::Frame> frame, CPartObject* parent, const std::string& linkName,
                        const std::string& path);
    // A reloaded part: the new frame hangs where the old one did, in the old one's placement
    // there, then AdoptFrame.
    void ReattachFrame(rm::Ref<rm::Frame> frame, const std::string& path, rm::Frame* characterRoot);
    // Drops the colour objects whose target frame is not under `frame` and strips the visuals of
    // the marker frames.
    void PruneColorObjects(rm::Frame* frame);

    void AddChildPart(std::unique_ptr<CPartObject> child);
    // The child at position `at` of the children (at the end when past it).
    void InsertChildPart(std::unique_ptr<CPartObject> child, std::size_t at);
    // Takes the child out of the children (ownership goes to the caller); null when not a child.
    std::unique_ptr<CPartObject> RemoveChildPart(CPartObject* child);
    const std::vector<std::unique_ptr<CPartObject>>& Children() const { return m_children; }

    void AddColorObject(std::unique_ptr<CColorObject> color);
    void DeleteColorObjects() { m_colors.clear(); }
    const std::vector<std::unique_ptr<CColorObject>>& ColorObjects() const { return m_colors; }
    // Replaces the colour objects (their owner becomes this part).
    void SetColorObjects(std::vector<std::unique_ptr<CColorObject>> colors);

    const std::string& GetLinkName() const { return m_linkName; }
    rm::Frame* GetFrame() const { return m_frame.Get(); }
    CPartObject* GetParent() const { return m_parent; }
    const std::vector<rm::Ref<rm::Frame>>& LinkFrames() const { return m_linkFrames; }
    // Calls `f` for this part and every descendant, parents first.
    template <class F>
    void ForEachInTree(F&& f) {
        f(this);
        for (const auto& child : m_children) child->ForEachInTree(f);
    }

    // The part record with its colour records and child records; the part and each below it take
    // the table's next index first (pre-order).
    scene::PartRecord ToRecord(CPartIndexTable& table);
    void Serialize(StoringArchive& ar, CPartIndexTable& table);
    // A new part takes a record's folder, paths, link name and box, and colour objects made from
    // its colour records (the frames come from loading the definition, the children from their
    // own records).
    void TakeRecord(const scene::PartRecord& record);

    std::int32_t m_serialIndex = -1;
    // The number of the figure the part belongs to (its parts hang below that figure's root, parts
    // loaded onto them take it from them); 0 for props and light markers.
    int m_figure = 0;
    std::string m_linkName = "n/a";
    std::string m_folder = "n/a";
    std::string m_definitionPath = "n/a";
    std::array<float, 6> m_box{};
    std::uint32_t m_lastResult = 0;
    CPartObject* m_parent = nullptr;  // not owned

  private:
    void HideBelow(rm::Frame* frame);
    // Adds `frame` to the parent's link frame named like the link name, at its origin (a missing
    // link frame is reported and the frame is placed relative to its own parent).
    void HangOnLinkFrame(rm::Frame& frame);
    bool IsLinkFrameName(const std::string& name) const;

    rm::Ref<rm::Frame> m_frame;
    std::vector<std::unique_ptr<CPartObject>> m_children;
    std::vector<rm::Ref<rm::Frame>> m_hiddenFrames;
    std::vector<rm::Ref<rm::Visual>> m_hiddenVisuals;
    std::vector<rm::Ref<rm::Frame>> m_linkFrames;
    std::vector<std::unique_ptr<CColorObject>> m_colors;
};
