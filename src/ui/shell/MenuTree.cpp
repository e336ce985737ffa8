// MenuTree: menus and tool bars as text.
#include "ui/shell/MenuTree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

QString flags(const QAction* a) {
    QString s;
    if (!a->isEnabled())
        s += QStringLiteral("  (disabled)");
    if (a->isCheckable())
        s += a->isChecked() ? QStringLiteral("  (checked)") : QStringLiteral("  (unchecked)");
    if (!a->isVisible())
        s += QStringLiteral("  (hidden)");
    return s;
}

} // namespace

QString describeMenu(const QMenu* menu, int depth) {
    QString out;
    const QString indent(depth * 4, QLatin1Char(' '));
    out +=
        indent + menu->title() + QStringLiteral("  [") + menu->objectName() + QStringLiteral("]\n");
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            out += indent + QStringLiteral("    ----\n");
        } else if (a->menu()) {
            out += describeMenu(a->menu(), depth + 1);
        } else {
            out += indent + QStringLiteral("    ") + a->text().section(QLatin1Char('\t'), 0, 0) +
                   QStringLiteral("  [") + a->objectName() + QLatin1Char(']');
            QStringList keys;
            for (const QKeySequence& key : a->shortcuts())
                keys << key.toString();
            if (!keys.isEmpty())
                out += QStringLiteral("  ") + keys.join(QStringLiteral(", "));
            out += flags(a) + QLatin1Char('\n');
        }
    }
    return out;
}

QString describeMenuBar(const QMenuBar* bar) {
    QString out;
    for (const QAction* a : bar->actions())
        if (a->menu())
            out += describeMenu(a->menu());
    return out;
}

QString describeToolBar(const QToolBar* bar) {
    QString out = QStringLiteral("tool bar  [") + bar->objectName() + QStringLiteral("]\n");
    for (const QAction* a : bar->actions()) {
        if (a->isSeparator())
            out += QStringLiteral("    ----\n");
        else
            out += QStringLiteral("    [") + a->objectName() + QStringLiteral("]  ") +
                   a->toolTip() + flags(a) + QLatin1Char('\n');
    }
    return out;
}
