// The tag panel's fixed lists (the window is ui/tags/TFormSpeedBar; the insertions are
// TagInserter::insertPanelTag and insertPanelAttribute).
#pragma once

#include <QStringList>

// The 100 tag patterns, in the panel's order.
const QStringList& tagPanelTags();
// The 72 attribute names, in the panel's order.
const QStringList& tagPanelAttributes();
