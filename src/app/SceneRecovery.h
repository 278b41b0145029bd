#pragma once
// Keeps a recovery copy of a scene with unsaved changes (scene/RecoveryFile) and offers a copy an
// earlier run left behind.
//
// While the document has changes the copy does not hold yet, the copy is written once the oldest of
// them is kWriteInterval old, so a crash loses at most that much work; an unchanged scene is never
// written. A save, New or Open (the document no longer changed) and a clean exit remove the copy; an
// unattended end (a logout's signal) writes it instead. Only a run that holds the single-instance
// lock makes a keeper, so a second instance never touches the copy.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class CMainDoc;
class CMainFrame;

class CSceneRecovery final : public QObject {
  public:
    using Clock = std::function<std::chrono::milliseconds()>;
    static constexpr std::chrono::milliseconds kWriteInterval = std::chrono::minutes(2);
    // How often the keeper looks at the document.
    static constexpr std::chrono::milliseconds kPollInterval = std::chrono::seconds(5);

    // `folder` ends in "/" ("" keeps no copy). Without a clock the keeper goes by a steady clock and
    // polls on its own timer; with one (tests) it polls only when told.
    CSceneRecovery(CMainDoc& doc, std::string folder, Clock clock = {});

    // Looks at the document: removes the copy once the scene has no unsaved changes, writes it when
    // its oldest unwritten change is due.
    void Poll();
    // The program ends unattended: the copy is written now when the scene has unsaved changes that
    // it lacks, else removed. A clean exit calls Discard.
    void WriteBeforeUnattendedEnd();
    void Discard();
    // The document was just restored from the copy: the copy is this run's own, and holds the scene.
    void Adopt();

    // A copy that cannot be written is reported once until a write succeeds again (default: the
    // error stream).
    void SetFailureReport(std::function<void(const std::string&)> report) { m_report = std::move(report); }

    const std::string& Folder() const { return m_folder; }

  private:
    bool Write();

    CMainDoc& m_doc;
    std::string m_folder;
    Clock m_clock;
    QTimer m_timer;
    std::function<void(const std::string&)> m_report;
    // Changes up to this count need no copy (the copy holds them, or the scene was saved with them).
    std::uint64_t m_coveredCount = 0;
    // Whether the copy in the folder is this run's (written or adopted).
    bool m_ownsCopy = false;
    // A change beyond the covered count was seen, and when the first of them was.
    bool m_changeNoted = false;
    std::chrono::milliseconds m_changeSeenAt{0};
    bool m_failureReported = false;
};

// At start-up: a copy left by an earlier run that is newer than its scene file (or whose scene was
// never saved) is offered ("復元しますか?", with the time it was written). Yes opens it as the unsaved
// state of its scene; No, a superseded copy or one that does not open removes it.
void OfferLeftRecovery(CMainFrame& frame, CMainDoc& doc, CSceneRecovery& recovery);
