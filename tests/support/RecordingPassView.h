// A LongPassView (or a view built on it) that writes down what a pass showed, in order: "start N"
// for the bar's maximum, "file I", "end", and each status text as it came.
#pragma once

#include "platform/LongPassView.h"

#include <QStringList>

template <class View = LongPassView> struct RecordingPass : View {
    QStringList events;
    void runStarted(int maximum) override { events << QStringLiteral("start %1").arg(maximum); }
    void fileStarted(int index) override { events << QStringLiteral("file %1").arg(index); }
    void runEnded() override { events << QStringLiteral("end"); }
    void setStatus(const QString& text) override { events << text; }
};
using RecordingPassView = RecordingPass<>;
