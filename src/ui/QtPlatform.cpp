#include "ui/QtPlatform.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressBar>

namespace kelvarin {

QString fromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toBytes(const QString& text) {
    const QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), static_cast<std::size_t>(latin.size()));
}

namespace {

MsgAnswer safeAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        break;
    }
    return MsgAnswer::No;
}

} // namespace

MsgAnswer QtMessageBoxes::show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                               const std::string& title) {
    QMessageBox box(m_parent);
    box.setWindowTitle(fromBytes(title.empty() ? std::string(kAppTitle) : title));
    box.setText(fromBytes(text));
    switch (icon) {
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    // Escape, and the window's close button where the box has one, give the box's safe button:
    // Cancel, No, or OK on a box with OK alone. Anything else exec() may return answers the same.
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return safeAnswer(buttons);
    }
}

void QtEventPump::yield() {
    QCoreApplication::processEvents();
}

void QtProgressBar::setMinimum(int v) {
    m_bar->setMinimum(v);
}
void QtProgressBar::setMaximum(int v) {
    m_bar->setMaximum(v);
}
void QtProgressBar::setValue(int v) {
    // QProgressBar ignores a value outside its range, and the links set their values against
    // different ranges (a USB transfer leaves its report count as the maximum): the range
    // widens to take every value set.
    if (v > m_bar->maximum())
        m_bar->setMaximum(v);
    if (v < m_bar->minimum())
        m_bar->setMinimum(v);
    m_bar->setValue(v);
}
int QtProgressBar::minimum() const {
    return m_bar->minimum();
}
int QtProgressBar::maximum() const {
    return m_bar->maximum();
}
int QtProgressBar::value() const {
    return m_bar->value();
}

} // namespace kelvarin
