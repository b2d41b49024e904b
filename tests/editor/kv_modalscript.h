// Answers the modal boxes, dialogs and popups a test opens, one step per box, in order, and
// records what each showed. A box that appears when no step is left is dismissed (and
// recorded), and after ten seconds every open box is closed, so nothing waits on a person.
#ifndef KV_MODALSCRIPT_H
#define KV_MODALSCRIPT_H

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

class ModalScript {
public:
    using Step = std::function<void(QWidget*)>;

    // What one box showed: its window title and, for a message box, its text; "popup" for a
    // popup menu.
    struct Seen {
        QString caption;
        QString text;
    };

    explicit ModalScript(std::vector<Step> steps = {}) : steps(std::move(steps)) {
        clock.start();
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start(5);
    }
    ~ModalScript() { timer.stop(); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    const std::vector<Seen>& seen() const { return shown; }
    // The texts (or captions, for boxes without text) of the boxes seen, in order.
    QStringList texts() const {
        QStringList out;
        for (const Seen& s : shown)
            out << (s.text.isEmpty() ? s.caption : s.text);
        return out;
    }
    // Every step was used.
    bool finished() const { return next >= steps.size(); }

    // Steps.
    static Step key(int k) {
        return [k](QWidget* w) { QTest::keyClick(w, Qt::Key(k)); };
    }
    static Step button(const QString& text) {
        return [text](QWidget* w) {
            for (QPushButton* b : w->findChildren<QPushButton*>())
                if (b->text().remove(QLatin1Char('&')) == text) {
                    b->click();
                    return;
                }
            ADD_FAILURE() << "no button " << qPrintable(text);
            w->close();
        };
    }
    // Chooses the popup entry of action (Return on it, as the keys would).
    static Step entry(std::function<QAction*(QMenu*)> find) {
        return [find](QWidget* w) {
            auto* menu = qobject_cast<QMenu*>(w);
            QAction* action = menu ? find(menu) : nullptr;
            if (!action) {
                ADD_FAILURE() << "no such popup entry";
                w->close();
                return;
            }
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
        };
    }
    // In a file dialog: a dialog with a name field gets name typed into it; otherwise the
    // entries shown are walked along name ("folder/file"), each made current and taken with
    // Return as a user would, which enters a folder and chooses a document. A name the dialog
    // does not take fails the test and dismisses the dialog.
    static Step file(const QString& name) {
        return [name](QWidget* w) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (!dialog) {
                ADD_FAILURE() << "no file dialog for " << qPrintable(name);
                w->close();
                return;
            }
            if (auto* edit = w->findChild<QLineEdit*>()) {
                edit->setText(name);
                dialog->accept();
            } else if (auto* view = w->findChild<QAbstractItemView*>()) {
                const auto entry = [view](const QString& shown) {
                    const QAbstractItemModel* model = view->model();
                    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                        const QModelIndex index = model->index(row, 0, view->rootIndex());
                        if (index.data().toString() == shown)
                            return index;
                    }
                    return QModelIndex();
                };
                for (const QString& part : name.split(QLatin1Char('/'))) {
                    const QModelIndex found = entry(part);
                    if (!found.isValid()) {
                        ADD_FAILURE() << "the file dialog lists no " << qPrintable(part);
                        break;
                    }
                    view->setCurrentIndex(found);
                    QTest::keyClick(view, Qt::Key_Return);
                }
            }
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the file dialog did not take " << qPrintable(name);
                dialog->reject();
            }
        };
    }

private:
    void poll() {
        QWidget* w = QApplication::activePopupWidget();
        if (!w)
            w = QApplication::activeModalWidget();
        if (clock.elapsed() > 10000) {
            if (w)
                w->close();
            return;
        }
        if (!w || !w->isVisible() || w == answered)
            return;
        answered = w;
        Seen s{w->windowTitle(), QString()};
        if (auto* box = qobject_cast<QMessageBox*>(w))
            s.text = box->text();
        else if (qobject_cast<QMenu*>(w))
            s.caption = QStringLiteral("popup");
        shown.push_back(s);
        if (next < steps.size())
            steps[next++](w);
        else
            QTest::keyClick(w, Qt::Key_Escape);
    }

    std::vector<Step> steps;
    std::vector<Seen> shown;
    size_t next = 0;
    QPointer<QWidget> answered;
    QTimer timer;
    QElapsedTimer clock;
};

#endif
