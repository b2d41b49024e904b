// The base of the framework's dialogs. On a small screen without window decorations it draws
// its own caption band (icon and caption) at the top, keeps itself inside the screen and
// centred over its parent window, and follows that window when it moves or resizes.
#ifndef KVQ_DIALOG_H
#define KVQ_DIALOG_H

#include <QDialog>
#include <QPixmap>
#include <QPointer>

class KVQ_Dialog : public QDialog {
    Q_OBJECT

public:
    KVQ_Dialog(QWidget* parent = nullptr, const char* name = nullptr, bool modal = false,
               Qt::WindowFlags flags = Qt::WindowFlags());

    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void setCaption(const QString& caption);
    QString caption() const { return windowTitle(); }
    virtual void setIcon(const QPixmap& icon);
    QPixmap icon() const { return captionIcon; }
    virtual void setIconText(const QString& text);
    QString iconText() const { return captionIconText; }
    // Shows the dialog centred over its parent window.
    virtual void show();
    void setVisible(bool visible) override;

    // Height of the caption band; the dialog's contents lie below it.
    static constexpr int CaptionHeight = 20;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeOverParent();

    QPixmap captionIcon;
    QString captionIconText;
    QPointer<QWidget> watchedWindow;
};

#endif
