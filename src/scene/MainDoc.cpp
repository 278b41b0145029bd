#include "scene/MainDoc.h"

#include "app/core/MainApp.h"

CMainDoc::CMainDoc() { GetApp()->m_pDocument = this; }

CMainDoc::~CMainDoc() {
    if (GetApp()->m_pDocument == this) GetApp()->m_pDocument = nullptr;
}

bool CMainDoc::OnNewDocument() {
    m_title = kNewDocumentTitle;
    m_pathName.clear();
    m_modified = false;
    return true;
}

void CMainDoc::ReleaseAllParts() {}
