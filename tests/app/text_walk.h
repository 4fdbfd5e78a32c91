// What a window shows in words: every text a user can read in it, each with the control that
// shows it; and what the toolkit asked its catalogues for, to tell its own words.
#pragma once

#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QTranslator>
#include <set>
#include <tuple>

class QObject;
class QWidget;

namespace text_walk {

// A control's text as the user reads it: "&&" stays one "&", other mnemonic marks go.
QString withoutMnemonics(QString text);

struct Shown {
    QString window;  // the walked window's name
    QString control; // the object name of the control, or of its nearest named parent
    QString text;    // as the user reads it: mnemonic marks taken out
    int column = -1; // in a table or list: the model's column
    bool header = false;
    bool title = false; // the window's title
};

// The window's title and every text its visible controls show: labels, buttons, group and
// panel captions, tabs, menus with their commands, list entries, table and list headers and
// cells, the captions the instruments paint and the chart's axis titles. Controls of other
// windows (a dialog owned by this one) are left to their own walk.
QList<Shown> texts(const QWidget &window, const QString &name);

// Records what the toolkit asks its catalogues for while it is installed, without answering;
// installed after the toolkit's own catalogue, it is asked first and sees every request.
class ToolkitTexts : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;

    // Asked first from now on, also after the program installed another catalogue.
    void moveToFront();
    // What the toolkit's requests read as, mnemonic marks taken out: their source texts (the
    // toolkit's own language is English), or, with a catalogue, what it gives where it has them.
    QSet<QString> given(const QTranslator *catalogue = nullptr) const;

private:
    using Request = std::tuple<QByteArray, QByteArray, QByteArray, int>;
    mutable QMutex fLock;
    mutable std::set<Request> fAsked;
};

} // namespace text_walk
