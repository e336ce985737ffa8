// LongStepWindow: progress and Cancel for a long step of the window's own work.
#include "ui/widgets/LongStepWindow.h"

#include "app/ProgramTitle.h"

#include <QApplication>
#include <QProgressDialog>

namespace {
// The bar counts in thousandths, whatever the step's own units.
constexpr int BarSteps = 1000;
// How often the window runs while the progress window is up.
constexpr int PumpEveryMs = 30;
} // namespace

LongStepWindow::LongStepWindow(QWidget* parent, int showAfterMs)
    : m_parent(parent), m_showAfterMs(showAfterMs) {
}

LongStepWindow::~LongStepWindow() = default;

void LongStepWindow::begin(const QString& label, qint64 total) {
    m_label = label;
    m_total = std::max<qint64>(1, total);
    m_cancelled = false;
    m_dialog.reset();
    // A step that follows one whose progress was up (reading a page, then putting it into the
    // editor) shows its own at once: the progress does not go away for half a second between.
    m_showAtOnce = m_endedShown && m_ended.isValid() && m_ended.elapsed() < FollowOnMs;
    m_endedShown = false;
    m_started.start();
    m_sincePump.start();
}

bool LongStepWindow::advance(qint64 done) {
    if (m_cancelled)
        return false;
    if (!m_dialog) {
        if (!m_showAtOnce && m_started.elapsed() < m_showAfterMs) {
            // The window goes on drawing (and its timers run) before the progress shows; what
            // the user does waits until then, so no command starts in the middle of the step.
            if (m_sincePump.elapsed() >= PumpEveryMs) {
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                m_sincePump.start();
            }
            return true;
        }
        m_dialog = std::make_unique<QProgressDialog>(m_label, QStringLiteral("Cancel"), 0, BarSteps,
                                                     m_parent);
        m_dialog->setObjectName(QStringLiteral("LongStepProgress"));
        m_dialog->setWindowTitle(programTitle());
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setMinimumWidth(360);
        QObject::connect(m_dialog.get(), &QProgressDialog::canceled, m_dialog.get(),
                         [this] { m_cancelled = true; });
        m_dialog->show();
        m_sincePump.invalidate();
    }
    m_dialog->setValue(static_cast<int>(std::min<qint64>(done, m_total) * BarSteps / m_total));
    if (!m_sincePump.isValid() || m_sincePump.elapsed() >= PumpEveryMs) {
        QApplication::processEvents();
        m_sincePump.start();
    }
    return !m_cancelled;
}

void LongStepWindow::end() {
    m_endedShown = m_dialog != nullptr;
    m_ended.start();
    m_dialog.reset();
}
