// Modal message boxes.
#ifndef KVQ_MESSAGEBOX_H
#define KVQ_MESSAGEBOX_H

#include <QString>
#include <QStringList>

class QWidget;

class KVQ_MessageBox {
public:
    // Button codes of the code-based box; Default and Escape may be or-ed into one code.
    enum Button {
        NoButton = 0,
        Ok = 1,
        Cancel = 2,
        Yes = 3,
        No = 4,
        Abort = 5,
        Retry = 6,
        Ignore = 7,
        Default = 0x100,
        Escape = 0x200,
        FlagMask = 0x300
    };

    // A box with up to three buttons; a null text means that button is absent, and with all
    // three null the box offers "OK". Returns the index (0, 1 or 2) of the button that closed
    // the box; Escape returns escapeButton (which may be -1, for "dismissed").
    static int information(QWidget* parent, const QString& caption, const QString& text,
                           const QString& button0, const QString& button1 = QString(),
                           const QString& button2 = QString(), int defaultButton = 0,
                           int escapeButton = -1);
    // The same with any number of buttons, in order; an empty list offers "OK".
    static int information(QWidget* parent, const QString& caption, const QString& text,
                           const QStringList& buttons, int defaultButton = 0,
                           int escapeButton = -1);
    // A box with buttons given by code (0 for none; all 0 gives Ok). Returns the code of the
    // button that closed it, without flags; Escape chooses the button flagged Escape, or the
    // only button, or returns 0.
    static int information(QWidget* parent, const QString& caption, const QString& text,
                           int button0, int button1 = 0, int button2 = 0);
    static int warning(QWidget* parent, const QString& caption, const QString& text,
                       const QString& button0, const QString& button1 = QString(),
                       const QString& button2 = QString(), int defaultButton = 0,
                       int escapeButton = -1);
};

#endif
