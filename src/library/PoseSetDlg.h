#pragma once
// "ポーズセットを開く": the pose sets of the archive's root list in a list to choose from, the
// keyboard way to a figure (arrows, Enter) beside the collection's thumbnails.

#include <QDialog>
#include <optional>
#include <vector>

#include "scene/PartListFile.h"

class CCommunicator;
class QListWidget;

// The entries of the archive's root plist.txt that are pose sets (".OBJ"), in list order.
std::vector<scene::PartListEntry> ReadPoseSets(CCommunicator& archive);

class CPoseSetDlg final : public QDialog {
  public:
    CPoseSetDlg(std::vector<scene::PartListEntry> entries, QWidget* parent);

    QListWidget* List() const { return m_list; }
    // The entry chosen when the dialog was accepted.
    std::optional<scene::PartListEntry> Chosen() const;

  private:
    std::vector<scene::PartListEntry> m_entries;
    QListWidget* m_list;
};
