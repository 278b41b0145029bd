#include "app/SceneRecovery.h"

#include <QFileInfo>
#include <iostream>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "platform/win/UserPrompts.h"
#include "scene/MainDoc.h"
#include "scene/RecoveryFile.h"

namespace {

std::chrono::milliseconds SteadyNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

std::string OfferText(const scene::LeftRecovery& left) {
    const std::string scene = left.scenePath.empty()
                                  ? std::string("(保存されていないシーン)")
                                  : QFileInfo(QString::fromStdString(left.scenePath)).fileName().toStdString();
    return "前回の終了時に保存されていなかった変更が残っています。\n"
           "シーン: " + scene + "\n"
           "書き込み: " + left.written.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")).toStdString() + "\n"
           "復元しますか?";
}

}  // namespace

CSceneRecovery::CSceneRecovery(CMainDoc& doc, std::string folder, Clock clock)
    : m_doc(doc), m_folder(std::move(folder)), m_clock(std::move(clock)),
      m_report([](const std::string& text) { std::cerr << "marisole: " << text << "\n"; }),
      m_coveredCount(doc.ChangeCount()) {
    if (m_clock) return;
    m_clock = SteadyNow;
    connect(&m_timer, &QTimer::timeout, this, &CSceneRecovery::Poll);
    m_timer.start(kPollInterval);
}

void CSceneRecovery::Poll() {
    if (m_folder.empty()) return;
    const std::uint64_t count = m_doc.ChangeCount();
    if (!m_doc.IsModified()) {
        // Saved, or let go on purpose: nothing is left to recover.
        Discard();
        m_coveredCount = count;
        m_changeNoted = false;
        return;
    }
    if (count == m_coveredCount) return;
    const std::chrono::milliseconds now = m_clock();
    if (!m_changeNoted) {
        m_changeNoted = true;
        m_changeSeenAt = now;
    }
    if (now - m_changeSeenAt < kWriteInterval) return;
    if (!Write()) m_changeSeenAt = now;  // tried again an interval later
}

void CSceneRecovery::WriteBeforeUnattendedEnd() {
    if (m_folder.empty()) return;
    if (!m_doc.IsModified())
        Discard();
    else if (m_doc.ChangeCount() != m_coveredCount || !m_ownsCopy)
        Write();
}

void CSceneRecovery::Discard() {
    if (!m_ownsCopy) return;
    scene::RemoveRecoveryFile(m_folder);
    m_ownsCopy = false;
}

void CSceneRecovery::Adopt() {
    m_ownsCopy = true;
    m_coveredCount = m_doc.ChangeCount();
    m_changeNoted = false;
}

bool CSceneRecovery::Write() {
    const std::uint64_t count = m_doc.ChangeCount();
    if (!scene::WriteRecoveryFile(m_doc, m_folder)) {
        if (!m_failureReported)
            m_report("復元用のファイルを書き込めません: " + m_folder + scene::kRecoveryFileName);
        m_failureReported = true;
        return false;
    }
    m_failureReported = false;
    m_ownsCopy = true;
    m_coveredCount = count;
    m_changeNoted = false;
    return true;
}

void OfferLeftRecovery(CMainFrame& frame, CMainDoc& doc, CSceneRecovery& recovery) {
    const std::optional<scene::LeftRecovery> left = scene::FindRecoveryFile(recovery.Folder());
    if (!left) return;
    if (!left->superseded &&
        win::MessageBox(&frame, OfferText(*left), "Marisole", win::Buttons::YesNo,
                        win::Icon::Question) == win::IDYES &&
        RestoreSceneFile(frame, doc, left->recoveryPath, left->scenePath)) {
        recovery.Adopt();
        return;
    }
    scene::RemoveRecoveryFile(recovery.Folder());
}
