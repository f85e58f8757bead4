#include "playback/showrecovery.h"

#include "show/language.h"
#include "show/textutil.h"

#include <cstring>
#include <ctime>
#include <unistd.h>

namespace orvane {

namespace {

std::string localTime(const timespec& at) {
    std::tm parts{};
    time_t seconds = at.tv_sec;
    localtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

} // namespace

ShowRecovery::ShowRecovery(ShowSession& session, RecoveryHooks hooks)
    : m_session(session), m_hooks(std::move(hooks)),
      m_path(recoveryFilePath(session.showFilePath())) {}

ShowRecovery::~ShowRecovery() {
    m_writer.reset(); // its last report may still come: the writer goes first
}

std::string ShowRecovery::refusedText(const std::string& reason) const {
    return fillIn(translate("Recovery", "Recovery file %1 refused: %2; it is left where it is"),
                  {m_path, reason});
}

void ShowRecovery::tell(const std::string& text, bool error) {
    if (m_hooks.tell)
        m_hooks.tell(text, error);
}

void ShowRecovery::recoverAtStart() {
    m_path = recoveryFilePath(m_session.showFilePath());
    RecoveryFileCheck check = checkRecoveryFile(m_path, m_session.showFilePath());
    if (check.state == RecoveryFileCheck::State::Damaged) {
        m_damagedInPlace = true;
        tell(refusedText(check.reason), true);
        return;
    }
    if (check.state != RecoveryFileCheck::State::Usable)
        return;
    if (m_session.loadRecovered(m_path) != 0) {
        m_damagedInPlace = true;
        tell(refusedText(m_session.store().lastLoad().reason), true);
        m_session.loadShow(); // the table was emptied for it
        return;
    }
    tell(fillIn(translate("Recovery", "Recovered unsaved changes from %1"),
                {localTime(check.written)}),
         false);
}

ShowRecovery::Kept ShowRecovery::now() const {
    Kept k;
    k.valid = true;
    const ShowStore& store = m_session.store();
    k.tableChanges = store.table().changeCount();
    k.manualStep = store.manualStep();
    k.encoding = store.encoding();
    k.current = m_session.currentStep();
    Console& console = m_session.console();
    k.step = console.capture();
    console.captureNextOver(k.next);
    return k;
}

void ShowRecovery::noteSeen() {
    m_controlsSeen = ControlModel::changes();
    m_tableSeen = m_session.store().table().changeCount();
    m_roundsSeen = m_hooks.consoleRounds ? m_hooks.consoleRounds() : 0;
}

void ShowRecovery::settle() {
    noteSeen();
    m_kept = now();
    // Every section's text made now, at the start, rather than at the first
    // change, which may come in the middle of a show.
    m_session.pendingShowParts();
}

bool ShowRecovery::idle() const {
    if (m_stopped)
        return true;
    uint64_t rounds = m_hooks.consoleRounds ? m_hooks.consoleRounds() : 0;
    return ControlModel::changes() == m_controlsSeen &&
           m_session.store().table().changeCount() == m_tableSeen && rounds == m_roundsSeen;
}

void ShowRecovery::tick() {
    if (m_stopped)
        return;
    noteSeen();
    Kept state = now();
    if (state == m_kept)
        return;
    keep(std::move(state));
}

void ShowRecovery::keep(Kept state) {
    setDamagedAside();
    writer().write(m_session.pendingShowParts());
    m_kept = std::move(state);
}

// A refused recovery file is never deleted: before this run's first write
// takes its name, it moves to the first free "<name>.damaged[.n]".
void ShowRecovery::setDamagedAside() {
    if (!m_damagedInPlace)
        return;
    m_damagedInPlace = false;
    for (int n = 0; n < 100; ++n) {
        std::string aside = m_path + ".damaged" + (n ? format(".%d", n) : std::string());
        if (::link(m_path.c_str(), aside.c_str()) == 0) {
            ::unlink(m_path.c_str());
            tell(fillIn(translate("Recovery", "The refused recovery file is kept as %1"), {aside}),
                 false);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    // Where it cannot be linked aside, it stays, and this run keeps nothing.
    const int error = errno;
    m_damagedInPlace = true;
    m_stopped = true;
    tell(fillIn(translate("Recovery", "The refused recovery file %1 cannot be set aside (%2): "
                                      "unsaved changes are not kept until it is moved"),
                {m_path, std::strerror(error)}),
         true);
}

RecoveryWriter& ShowRecovery::writer() {
    if (!m_writer)
        m_writer = std::make_unique<RecoveryWriter>(m_path, [this](const auto& report) {
            if (m_hooks.post)
                m_hooks.post([this, report] { reported(report); });
        });
    return *m_writer;
}

void ShowRecovery::reported(const RecoveryWriter::Report& report) {
    if (report.error == 0) {
        if (!report.removal)
            m_failing = false;
        return;
    }
    if (!report.removal)
        m_kept.valid = false; // written again at the next check that runs
    if (m_failing)
        return;
    m_failing = true;
    tell(fillIn(report.removal ? translate("Recovery", "Cannot remove the recovery file %1: %2")
                               : translate("Recovery", "Cannot write the recovery file %1: %2"),
                {m_path, std::strerror(report.error)}),
         true);
}

void ShowRecovery::saved() {
    noteSeen();
    m_kept = now();
    if (!m_damagedInPlace)
        writer().remove();
}

void ShowRecovery::finish() {
    if (m_stopped && !m_writer)
        return;
    tick();
    m_stopped = true;
    if (m_writer)
        m_writer->waitIdle();
}

} // namespace orvane
