// QtClipboard: the system clipboard through QGuiApplication.
#pragma once

#include "platform/Clipboard.h"

class QtClipboard : public Clipboard {
public:
    QString text() const override;
    void setText(const QString& text) override;
    void clear() override;
};
