#include "kvq_aboutpx.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// The children lie below the dialog's caption band.
QRect belowCaption(int x, int y, int w, int h) {
    return QRect(x, y + KVQ_Dialog::CaptionHeight, w, h);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

void setSerif(QWidget* widget, int pointSize) {
    QFont font = widget->font();
    font.setFamily(QStringLiteral("serif"));
    if (pointSize > 0)
        font.setPointSize(pointSize);
    widget->setFont(font);
}

} // namespace

KVQ_AboutPX::KVQ_AboutPX(QWidget* parent, const char* name, bool modal, Qt::WindowFlags flags)
    : KVQ_Dialog(parent, name, modal, flags) {
    if (!name)
        setObjectName(QStringLiteral("KVQ_AboutPX"));
    resize(353, 163 + CaptionHeight);
    setCaption(tr("About Image Editor"));

    title = makeLabel(this, "TextLabel1", belowCaption(0, 0, 350, 20));
    title->setText(tr("               Image Editor"));
    version = makeLabel(this, "TextLabel2", belowCaption(0, 20, 351, 40));
    version->setText(tr("The current version of this application is 1.0."));
    version->setWordWrap(true);
    copyright = makeLabel(this, "TextLabel4", belowCaption(0, 90, 351, 31));
    copyright->setText(tr("Copyright (C) the kv project developers. Free software: share and "
                          "change it under the terms of its licence."));
    copyright->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    copyright->setWordWrap(true);
    maker = makeLabel(this, "TextLabel3", belowCaption(0, 60, 351, 20));
    maker->setText(tr("               The kv project"));
    okButton = new QPushButton(this);
    okButton->setObjectName(QStringLiteral("PushButton1"));
    okButton->setGeometry(belowCaption(120, 130, 90, 30));
    okButton->setText(tr("OK"));
    setFonts();

    connect(okButton, &QPushButton::clicked, this, &KVQ_AboutPX::buttonAction);
}

KVQ_AboutPX::~KVQ_AboutPX() = default;

void KVQ_AboutPX::setFonts() {
    setSerif(title, 0);
    setSerif(version, 8);
    setSerif(copyright, 9);
    setSerif(maker, 9);
    setSerif(okButton, 9);
}

bool KVQ_AboutPX::event(QEvent* e) {
    const bool result = KVQ_Dialog::event(e);
    if (e->type() == QEvent::ApplicationFontChange)
        setFonts();
    return result;
}

void KVQ_AboutPX::buttonAction() {
    hide();
}
