// The box behind KVQ_MessageBox: a QMessageBox of text buttons that reports the index of the
// button that closed it, and treats Escape as the given escape index.
#ifndef KV_MESSAGEDIALOG_H
#define KV_MESSAGEDIALOG_H

#include <QMessageBox>
#include <QStringList>

class KV_MessageDialog : public QMessageBox {
    Q_OBJECT

public:
    // buttons: their texts in order, null for an absent button.
    KV_MessageDialog(Icon icon, QWidget* parent, const QString& caption, const QString& text,
                     const QStringList& buttons, int defaultButton, int escapeButton);

    // Runs the box; the index of the button pressed, or the escape index.
    int run();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<QAbstractButton*> buttonAt;
    int escapeIndex;
    bool escaped = false;
};

#endif
