// The text of an expression as the engine should read it. Compatibility forms (full-width
// digits and operators, ligatures, no-break spaces, squared abbreviations) become their plain
// forms, as Unicode's NFKC has them; superscripts, subscripts and fractions stay, since the
// engine reads them itself. Control characters and invisible format characters, which the
// engine would take for names, are refused; a line ending at the end and a byte-order mark at
// the start are dropped.
#ifndef KV_INPUTTEXT_H
#define KV_INPUTTEXT_H

#include <QString>
#include <QStringList>

class KV_InputText {
public:
    // Ok with the plain form in text, or InvisibleCharacter with a warning that names the
    // character as U+XXXX and its position (counted in characters from 1).
    static int normalize(QString& text, QStringList& warnings);
    // Whether text holds a control or format character.
    static bool hasInvisible(const QString& text);
};

#endif
