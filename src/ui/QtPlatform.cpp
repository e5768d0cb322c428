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
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        // A box closed without a choice answers with its safe button.
        return buttons == MsgButtons::Ok         ? MsgAnswer::Ok
               : buttons == MsgButtons::OkCancel ? MsgAnswer::Cancel
                                                 : MsgAnswer::No;
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
