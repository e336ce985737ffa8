// LongStepWindow: the window's LongStep. A step that ends within half a second shows nothing
// and lets nothing run; after that a progress window with a Cancel button comes up over the main
// window (modal, so nothing else can start meanwhile), and the window runs between pieces of
// the step so the bar moves and Cancel (or Escape) is seen.
#pragma once

#include "platform/LongStep.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

class LongStepWindow : public LongStep {
public:
    explicit LongStepWindow(QWidget* parent, int showAfterMs = DefaultShowAfterMs);
    ~LongStepWindow() override;

    void begin(const QString& label, qint64 total) override;
    bool advance(qint64 done) override;
    void end() override;

    // The progress window while it is up (tests press its Cancel button).
    QProgressDialog* dialog() const { return m_dialog.get(); }

    static constexpr int DefaultShowAfterMs = 500;
    // A step that begins this soon after one whose progress was shown shows its own at once.
    static constexpr int FollowOnMs = 100;

private:
    QPointer<QWidget> m_parent;
    int m_showAfterMs;
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_started;
    QElapsedTimer m_sincePump;
    QElapsedTimer m_ended;
    bool m_endedShown = false;
    bool m_showAtOnce = false;
    QString m_label;
    qint64 m_total = 0;
    bool m_cancelled = false;
};
