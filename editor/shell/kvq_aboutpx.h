// KVQ_AboutPX: the About box of the image editor: the application's name, its version, the
// maker, and an OK button.
#ifndef KVQ_ABOUTPX_H
#define KVQ_ABOUTPX_H

#include "kvq_dialog.h"

class QLabel;
class QPushButton;

class KVQ_AboutPX : public KVQ_Dialog {
    Q_OBJECT

public:
    KVQ_AboutPX(QWidget* parent, const char* name, bool modal, Qt::WindowFlags flags);
    ~KVQ_AboutPX() override;

    bool event(QEvent* e) override;

public slots:
    virtual void buttonAction();

private:
    // Gives each child its font: the current font in the serif family, at the child's size.
    void setFonts();

    QLabel* title;
    QLabel* version;
    QLabel* copyright;
    QLabel* maker;
    QPushButton* okButton;
};

#endif
