#include "kv_messagedialog.h"

#include <QKeyEvent>
#include <QPushButton>

KV_MessageDialog::KV_MessageDialog(Icon icon, QWidget* parent, const QString& caption,
                                   const QString& text, const QStringList& buttons,
                                   int defaultButton, int escapeButton)
    : QMessageBox(icon, caption, text, QMessageBox::NoButton, parent), escapeIndex(escapeButton) {
    setObjectName(QStringLiteral("KV_MessageDialog"));
    // Texts name files, whose names are never markup.
    setTextFormat(Qt::PlainText);
    for (const QString& label : buttons)
        buttonAt << (label.isNull() ? nullptr : addButton(label, QMessageBox::AcceptRole));
    if (defaultButton >= 0 && defaultButton < buttonAt.size() && buttonAt.at(defaultButton))
        setDefaultButton(static_cast<QPushButton*>(buttonAt.at(defaultButton)));
    if (escapeButton >= 0 && escapeButton < buttonAt.size() && buttonAt.at(escapeButton))
        setEscapeButton(buttonAt.at(escapeButton));
}

int KV_MessageDialog::run() {
    exec();
    if (!escaped) {
        const int index = int(buttonAt.indexOf(clickedButton()));
        if (index >= 0)
            return index;
    }
    return escapeIndex;
}

void KV_MessageDialog::keyPressEvent(QKeyEvent* event) {
    // Without an escape button QMessageBox ignores Escape; here it dismisses the box.
    if (event->matches(QKeySequence::Cancel) && !escapeButton()) {
        escaped = true;
        reject();
        return;
    }
    QMessageBox::keyPressEvent(event);
}
