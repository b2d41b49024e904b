#include "kvq_messagebox.h"

#include "kv_messagedialog.h"

#include <QCoreApplication>

namespace {

int textBox(QMessageBox::Icon icon, QWidget* parent, const QString& caption, const QString& text,
            QStringList buttons, int defaultButton, int escapeButton) {
    bool none = true;
    for (const QString& b : buttons)
        none = none && b.isNull();
    if (none)
        buttons = QStringList{QCoreApplication::translate("KVQ_MessageBox", "OK")};
    KV_MessageDialog box(icon, parent, caption, text, buttons, defaultButton, escapeButton);
    return box.run();
}

QString buttonText(int code) {
    static const char* const texts[] = {nullptr, "OK",    "Cancel", "Yes",
                                        "No",    "Abort", "Retry",  "Ignore"};
    const int plain = code & ~KVQ_MessageBox::FlagMask;
    if (plain <= 0 || plain > 7)
        return QString();
    return QCoreApplication::translate("KVQ_MessageBox", texts[plain]);
}

} // namespace

int KVQ_MessageBox::information(QWidget* parent, const QString& caption, const QString& text,
                                const QString& button0, const QString& button1,
                                const QString& button2, int defaultButton, int escapeButton) {
    return textBox(QMessageBox::Information, parent, caption, text, {button0, button1, button2},
                   defaultButton, escapeButton);
}

int KVQ_MessageBox::information(QWidget* parent, const QString& caption, const QString& text,
                                const QStringList& buttons, int defaultButton, int escapeButton) {
    return textBox(QMessageBox::Information, parent, caption, text, buttons, defaultButton,
                   escapeButton);
}

int KVQ_MessageBox::warning(QWidget* parent, const QString& caption, const QString& text,
                            const QString& button0, const QString& button1, const QString& button2,
                            int defaultButton, int escapeButton) {
    return textBox(QMessageBox::Warning, parent, caption, text, {button0, button1, button2},
                   defaultButton, escapeButton);
}

int KVQ_MessageBox::information(QWidget* parent, const QString& caption, const QString& text,
                                int button0, int button1, int button2) {
    QList<int> codes;
    for (int code : {button0, button1, button2})
        if (!buttonText(code).isNull())
            codes << code;
    if (codes.isEmpty())
        codes << (Ok | Default);

    QStringList texts;
    int defaultIndex = 0;
    int escapeIndex = codes.size() == 1 ? 0 : -1;
    for (int i = 0; i < codes.size(); ++i) {
        texts << buttonText(codes.at(i));
        if (codes.at(i) & Default)
            defaultIndex = i;
        if (codes.at(i) & Escape)
            escapeIndex = i;
    }
    KV_MessageDialog box(QMessageBox::Information, parent, caption, text, texts, defaultIndex,
                         escapeIndex);
    const int index = box.run();
    return index >= 0 ? codes.at(index) & ~FlagMask : 0;
}
