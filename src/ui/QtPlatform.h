#pragma once

#include "platform/EventPump.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressBar.h"

#include <QString>
#include <string>

class QWidget;
class QProgressBar;

namespace kelvarin {

// Message boxes as QMessageBox, modal to `parent`.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent) : m_parent(parent) {}
    MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                   const std::string& title) override;

private:
    QWidget* m_parent;
};

// Lets the window handle its waiting events.
class QtEventPump final : public EventPump {
public:
    void yield() override;
};

// The window's QProgressBar. A value outside its range widens the range to take it.
class QtProgressBar final : public ProgressBar {
public:
    explicit QtProgressBar(QProgressBar* bar) : m_bar(bar) {}
    void setMinimum(int v) override;
    void setMaximum(int v) override;
    void setValue(int v) override;
    int minimum() const override;
    int maximum() const override;
    int value() const override;

private:
    QProgressBar* m_bar;
};

// Single-byte text to and from the window's Unicode text: every byte stands for one character.
// For the texts of the terminal's records and settings files, which hold one byte a character.
QString fromBytes(const std::string& bytes);
std::string toBytes(const QString& text);

// A file name or path, or a text that names one, to and from the window's Unicode text: the
// bytes are the file system's spelling of it (UTF-8 on Linux).
QString fromFileName(const std::string& name);
std::string toFileName(const QString& text);

} // namespace kelvarin
