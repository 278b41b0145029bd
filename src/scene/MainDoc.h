#pragma once
// The scene document. This is the document's frame-facing surface: its title and file name and the
// life-cycle calls the main frame makes. The scene itself (parts, colours, frames, scene files)
// grows here.

#include <string>

class CMainDoc {
public:
    CMainDoc();
    ~CMainDoc();
    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    // The new-document command: an empty scene titled with the new-file base name.
    bool OnNewDocument();
    // Releases every part while the 3D library objects still exist (main frame destruction).
    void ReleaseAllParts();

    const std::string& GetTitle() const { return m_title; }
    const std::string& GetPathName() const { return m_pathName; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    // The new-file base name of the document type.
    static constexpr const char* kNewDocumentTitle = "Mariso";

private:
    std::string m_title = kNewDocumentTitle;
    std::string m_pathName;
    bool m_modified = false;
};
